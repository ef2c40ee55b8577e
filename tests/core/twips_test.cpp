#include <gtest/gtest.h>

#include "common/twips.h"
#include "common/utf8.h"
#include "dropwindow/placement.h"

using namespace caldrift;

TEST(Twips, FifteenTwipsMakeAPixelAt96Dpi) {
    EXPECT_EQ(twipsToPixels(4425, 96), 295);
    EXPECT_EQ(twipsToPixels(4140, 96), 276);
    EXPECT_EQ(twipsToPixels(455, 96), 30);  // 30.33 rounds down
    EXPECT_EQ(twipsToPixels(1920, 144), 192);
    EXPECT_EQ(twipsToPixels(8, 96), 1);  // 0.53 rounds up
    EXPECT_EQ(pixelsToTwips(1280, 96), 19200);
}

TEST(Twips, DropWindowSitsBottomRightAboveTheMargin) {
    Point p = dropWindowPosition(1280, 1024, 301, 282, 96);
    EXPECT_EQ(p.x, 1280 - 301);
    EXPECT_EQ(p.y, 1024 - 282 - 30);
    Point big = dropWindowPosition(1920, 1080, 301, 282, 96);
    EXPECT_EQ(big.x, 1619);
    EXPECT_EQ(big.y, 768);
}

TEST(Twips, PendingWindowRestsOnTopOfTheDropWindow) {
    // 1280 x 1024 screen, drop window 3000 twips high: 16410 and 8035 twips.
    Point p = pendingWindowPosition(1280, 1024, 200, 2790, 3870, 96);
    EXPECT_EQ(p.x, twipsToPixels(16410, 96));
    EXPECT_EQ(p.y, twipsToPixels(8035, 96));
}

TEST(Utf8, CountsCharactersNotBytes) {
    EXPECT_EQ(utf8::length("caf\xC3\xA9"), 4u);
    EXPECT_EQ(utf8::charFromEnd("a.d\xC3\xA9"
                                "f",
                                4),
              ".");
    EXPECT_EQ(utf8::lastChars("a.d\xC3\xA9"
                              "f",
                              3),
              "d\xC3\xA9"
              "f");
    EXPECT_EQ(utf8::charFromEnd("ab", 3), "");
    EXPECT_EQ(utf8::lastChars("ab", 3), "ab");
    EXPECT_TRUE(utf8::equalsIgnoringAsciiCase("JpEg", "jpeg"));
    EXPECT_FALSE(utf8::equalsIgnoringAsciiCase("jpg", "jpeg"));
}

#include "dropwindow/show_while_dragging.h"

TEST(ShowWhileDragging, ArmsOnAHeldButtonAndHidesOnARelease) {
    auto held = [] { return true; };
    auto up = [] { return false; };
    EXPECT_TRUE(sampleDragVisibility(held, false).armShowTimer);
    EXPECT_FALSE(sampleDragVisibility(held, false).hide);
    EXPECT_FALSE(sampleDragVisibility(held, true).armShowTimer);
    EXPECT_FALSE(sampleDragVisibility(held, true).hide);
    EXPECT_TRUE(sampleDragVisibility(up, true).hide);
    EXPECT_FALSE(sampleDragVisibility(up, false).armShowTimer);
    // Released between the two samples: armed, and nothing to hide yet.
    int calls = 0;
    auto releasedMidway = [&calls] { return calls++ == 0; };
    DragVisibilityStep step = sampleDragVisibility(releasedMidway, false);
    EXPECT_TRUE(step.armShowTimer);
    EXPECT_FALSE(step.hide);
}
