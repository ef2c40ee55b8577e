#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>

#include "common/utf8.h"
#include "splash/disclaimer.h"
#include "splash/title_flicker.h"

using namespace caldrift;

TEST(TitleFlicker, EveryStartShowsTheColoursTheEndToEndTestExpects) {
    // The same three come out of the generator written again in tests/e2e/test_splash.py.
    TitleFlicker flicker, again;
    EXPECT_EQ(flicker.nextColor(), 168446u);
    EXPECT_EQ(flicker.nextColor(), 581463u);
    EXPECT_EQ(flicker.nextColor(), 480596u);
    for (int i = 0; i < 3; ++i) again.nextColor();
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(flicker.nextColor(), again.nextColor()) << i;
}

TEST(TitleFlicker, ColoursAreTheDrawsScaledToNearlyAMillion) {
    TitleFlicker draws, colours;
    std::uint32_t lowest = 999999, highest = 0;
    for (int i = 0; i < 100000; ++i) {
        double r = draws.nextDraw();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        std::uint32_t colour = colours.nextColor();
        ASSERT_LE(std::fabs(colour - r * 999999), 0.5) << i;  // the nearest whole number
        ASSERT_LE(colour >> 16, 15u) << i;                    // blue stays low
        lowest = std::min(lowest, colour);
        highest = std::max(highest, colour);
    }
    EXPECT_LT(lowest, 100u);
    EXPECT_GT(highest, 999900u);
}

TEST(Disclaimer, ReadsFromTheWarningToTheLastWordWithBlanksWhereTheLinesBreak) {
    std::string text = splashDisclaimer();
    EXPECT_EQ(utf8::length(text), 438u);
    EXPECT_EQ(text.rfind("Avviso : Non mi assumo", 0), 0u);
    EXPECT_EQ(utf8::lastChars(text, 11), "le vostre. ");
    // Each run of blanks fills a line of the label, so the next sentence starts a
    // new one: where the runs start, in characters, and how long they are.
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    const std::regex blanks("  +");
    for (std::sregex_iterator it(text.begin(), text.end(), blanks), end; it != end; ++it)
        runs.emplace_back(utf8::length(text.substr(0, it->position())), it->length());
    EXPECT_EQ(runs, (decltype(runs){{89, 18}, {169, 54}, {303, 23}, {408, 19}}));
    EXPECT_EQ(text.find_first_of("\r\n\t"), std::string::npos);
}
