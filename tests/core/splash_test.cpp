#include <gtest/gtest.h>

#include <algorithm>

#include "splash/title_flicker.h"

using namespace caldrift;

// Every start shows the same sequence: bluish-black to bright, blue kept low.
TEST(TitleFlicker, EveryStartRunsThroughTheSameColoursOverTheWholeRange) {
    TitleFlicker flicker, again;
    EXPECT_EQ(flicker.nextColor(), 168446u);
    again.nextColor();
    std::uint32_t lowest = 999999, highest = 0;
    for (int i = 0; i < 100000; ++i) {
        std::uint32_t colour = flicker.nextColor();
        ASSERT_EQ(colour, again.nextColor()) << i;
        ASSERT_LE(colour, 999999u) << i;
        lowest = std::min(lowest, colour);
        highest = std::max(highest, colour);
    }
    EXPECT_LT(lowest, 100u);
    EXPECT_GT(highest, 999900u);
}
