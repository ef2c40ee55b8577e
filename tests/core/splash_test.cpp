#include <gtest/gtest.h>

#include "common/rounding.h"
#include "common/twips.h"
#include "common/utf8.h"
#include "splash/disclaimer.h"
#include "splash/title_flicker.h"

using namespace caldrift;

TEST(TitleFlicker, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfToEven(0.5), 0);
    EXPECT_EQ(roundHalfToEven(1.5), 2);
    EXPECT_EQ(roundHalfToEven(2.5), 2);
    EXPECT_EQ(roundHalfToEven(999998.5), 999998);
    EXPECT_EQ(roundHalfToEven(999997.5), 999998);
    EXPECT_EQ(roundHalfToEven(2.4999), 2);
    EXPECT_EQ(roundHalfToEven(2.5001), 3);
    EXPECT_EQ(roundHalfToEven(0.0), 0);
}

TEST(TitleFlicker, EveryStartShowsTheSameColours) {
    TitleFlicker first, second;
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(first.nextColor(), second.nextColor()) << i;
}

TEST(TitleFlicker, StartsWithTheColoursTheEndToEndTestExpects) {
    // The same three come out of the generator written again in tests/e2e/test_splash.py.
    TitleFlicker flicker;
    EXPECT_EQ(flicker.nextColor(), 168446u);
    EXPECT_EQ(flicker.nextColor(), 581463u);
    EXPECT_EQ(flicker.nextColor(), 480596u);
}

TEST(TitleFlicker, DrawsStayBelowOneAndBlueStaysLow) {
    TitleFlicker draws, colours;
    for (int i = 0; i < 100000; ++i) {
        double r = draws.nextDraw();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        std::uint32_t colour = colours.nextColor();
        ASSERT_EQ(colour, static_cast<std::uint32_t>(roundHalfToEven(r * 999999)));
        ASSERT_LE(colour >> 16, 15u) << i;
    }
}

TEST(Disclaimer, Is438CharactersOfFivePiecesAndBlankRuns) {
    std::string text = splashDisclaimer();
    EXPECT_EQ(utf8::length(text), 438u);
    std::string firstPiece =
        "Avviso : Non mi assumo nessuna responsabilit\xC3\xA0 per un qualsiasi malfunzionamento "
        "della PSP";
    EXPECT_EQ(text.rfind(firstPiece, 0), 0u);
    std::size_t at = firstPiece.size();
    auto expectPiece = [&](std::size_t blanks, const std::string& piece) {
        EXPECT_EQ(text.substr(at, blanks), std::string(blanks, ' '));
        EXPECT_EQ(text.substr(at + blanks, piece.size()), piece);
        at += blanks + piece.size();
    };
    expectPiece(18, "causato da un utilizzo non appropriato di questa applicazione.");
    expectPiece(
        54,
        "Questo Programma \xC3\xA8 stato testa su svariate PSP e su svariati modelli e firmware.");
    expectPiece(23,
                "In fase di BetaTesing non ha causato nessun danno alle console quindi \xC3\xA8 "
                "sicuro per");
    expectPiece(19, "le vostre.");
    EXPECT_EQ(text.substr(at), " ");
}

TEST(Twips, CentredWindowSplitsTheSpareRoom) {
    Point p = centredWindowPosition(1280, 1024, 498, 289);
    EXPECT_EQ(p.x, 391);
    EXPECT_EQ(p.y, 367);  // 367.5: the odd pixel goes below
}
