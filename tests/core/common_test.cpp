#include <gtest/gtest.h>

#include <tuple>

#include "common/pictures.h"
#include "common/rounding.h"
#include "common/twips.h"
#include "common/utf8.h"

using namespace caldrift;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    const std::pair<double, double> cases[] = {
        {0.5, 0},    {1.5, 2},  {2.5, 2},   {2.4999, 2},
        {2.5001, 3}, {-0.5, 0}, {-1.5, -2}, {1e15 + 1, 1e15 + 1},
    };
    for (auto [value, rounded] : cases) EXPECT_EQ(roundHalfToEven(value), rounded) << value;
}

TEST(Twips, BecomePixelsAtTheScreensDpiRoundedToTheNearest) {
    // 455 is 30.33 pixels, 8 is 0.53.
    const std::tuple<int, int, int> cases[] = {
        {4425, 96, 295}, {4140, 96, 276}, {455, 96, 30}, {8, 96, 1}, {1920, 144, 192}};
    for (auto [twips, dpi, pixels] : cases) EXPECT_EQ(twipsToPixels(twips, dpi), pixels) << twips;
    EXPECT_EQ(pixelsToTwips(1280, 96), 19200);
}

TEST(Pictures, ShrinkFromTheSmallestDrawingAtLeastAsLarge) {
    // The console is 300 square at 100 %, the mail picture 80 x 46.
    const std::tuple<PixelSize, PixelSize, int> cases[] = {
        {{300, 300}, {300, 300}, 100}, {{300, 300}, {301, 301}, 150}, {{300, 300}, {900, 900}, 200},
        {{80, 46}, {100, 46}, 150},    {{80, 46}, {80, 70}, 200},     {{160, 146}, {64, 65}, 100}};
    for (auto [at100, need, scale] : cases)
        EXPECT_EQ(kDrawnScales[drawingFor(at100, need)], scale) << need.width << "x" << need.height;
}

TEST(Utf8, CountsCharactersNotBytes) {
    const std::string accented = "a.d\u00e9f";
    EXPECT_EQ(utf8::length("caf\u00e9"), 4u);
    EXPECT_EQ(utf8::charFromEnd(accented, 4), ".");
    EXPECT_EQ(utf8::lastChars(accented, 3), accented.substr(2));
    EXPECT_EQ(utf8::charFromEnd("ab", 3), "");
    EXPECT_EQ(utf8::lastChars("ab", 3), "ab");
    EXPECT_TRUE(utf8::equalsIgnoringAsciiCase("JpEg", "jpeg"));
    EXPECT_FALSE(utf8::equalsIgnoringAsciiCase("jpg", "jpeg"));
}

// Both ways, a lone surrogate or a pair the wrong way round too, unless the bytes
// are not UTF-8: a stray byte, an overlong form, a cut-short one and one beyond
// U+10FFFF read as replacement characters.
TEST(Utf16, EveryNameComesBackExactlyUnpairedSurrogatesToo) {
    const std::tuple<std::u16string, std::string, bool> cases[] = {
        {u"caff\u00e8.mp3", "caff\xC3\xA8.mp3", true},
        {u"\U0001F600.jpg", "\xF0\x9F\x98\x80.jpg", true},
        {std::u16string{u'a', 0xD800, u'b'}, std::string("a\xED\xA0\x80") + "b", true},
        {std::u16string{0xDC00}, "\xED\xB0\x80", true},
        {std::u16string{0xDE00, 0xD83D}, "\xED\xB8\x80\xED\xA0\xBD", true},
        {u"", "", true},
        {u"a\uFFFD-", "a\xFF-", false},
        {u"\uFFFD\uFFFD", "\xC0\x80", false},
        {u"\uFFFD\uFFFD", "\xE2\x82", false},
        {u"\uFFFD\uFFFD\uFFFD\uFFFD", "\xF4\x90\x80\x80", false}};
    for (const auto& [utf16, bytes, both] : cases) {
        if (both) {
            EXPECT_EQ(utf8::fromUtf16(utf16), bytes);
        }
        EXPECT_EQ(utf8::toUtf16(bytes), utf16) << bytes;
    }
}
