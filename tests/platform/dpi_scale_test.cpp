#include "platform/dpi_scale.h"

#include <gtest/gtest.h>

TEST(ScaleForDpi, KeepsDesignSizesAt96AndDoublesThemAt192) {
    for (int pixels : {4, 20, 200, 350, 480, 640}) {
        EXPECT_EQ(ScaleForDpi(pixels, 96), pixels);
        EXPECT_EQ(ScaleForDpi(pixels, 192), 2 * pixels);
    }
}

TEST(ScaleForDpi, RoundsHalfAwayFromZeroAtFractionalScales) {
    EXPECT_EQ(ScaleForDpi(4, 120), 5);      // 125 %
    EXPECT_EQ(ScaleForDpi(350, 120), 438);  // 437.5
    EXPECT_EQ(ScaleForDpi(20, 144), 30);    // 150 %
    EXPECT_EQ(ScaleForDpi(3, 144), 5);      // 4.5
    EXPECT_EQ(ScaleForDpi(5, 168), 9);      // 8.75, 175 %
    EXPECT_EQ(ScaleForDpi(-3, 144), -5);    // offsets scale like sizes
}

TEST(ScaleForDpi, AFailedDpiQueryLeavesTheDesignSize) {
    EXPECT_EQ(ScaleForDpi(640, 0), 640);
    EXPECT_EQ(ScaleForDpi(640, -1), 640);
}

TEST(ScaleForDpi, LargeSizesDoNotOverflow) { EXPECT_EQ(ScaleForDpi(100000000, 480), 500000000); }
