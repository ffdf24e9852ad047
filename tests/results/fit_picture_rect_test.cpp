#include "results/fit_picture_rect.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

bool operator==(const PixelRect& first, const PixelRect& second) {
    return first.left == second.left && first.top == second.top && first.right == second.right &&
           first.bottom == second.bottom;
}

std::ostream& operator<<(std::ostream& out, const PixelRect& rect) {
    return out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}

namespace {

// 400 x 300, offset as the preview area is, right of the tree.
const PixelRect kArea{210, 20, 610, 320};

TEST(FitPictureRectTest, WiderPictureTakesTheWidthAtTheTop) {
    EXPECT_EQ(FitPictureRect(kArea, 800, 300), (PixelRect{210, 20, 610, 170}));
    // 400 / (1000 / 700) = 280: reduced, never taller than the area.
    EXPECT_EQ(FitPictureRect(kArea, 1000, 700), (PixelRect{210, 20, 610, 300}));
    // 400 * 3 / 7 = 171.43, truncated.
    EXPECT_EQ(FitPictureRect(kArea, 7, 3), (PixelRect{210, 20, 610, 191}));
}

TEST(FitPictureRectTest, TallerPictureTakesTheHeightAtTheLeft) {
    EXPECT_EQ(FitPictureRect(kArea, 300, 600), (PixelRect{210, 20, 360, 320}));
    // 300 * 5 / 7 = 214.29, truncated.
    EXPECT_EQ(FitPictureRect(kArea, 5, 7), (PixelRect{210, 20, 424, 320}));
}

TEST(FitPictureRectTest, EqualRatioTakesTheHeightAndFillsTheArea) {
    EXPECT_EQ(FitPictureRect(kArea, 800, 600), kArea);
    EXPECT_EQ(FitPictureRect(kArea, 4, 3), kArea);
    // Proportions whose rounded ratio, scaled back, falls short of a whole pixel.
    const PixelRect odd{0, 0, 399, 391};
    EXPECT_EQ(FitPictureRect(odd, 399, 391), odd);
    EXPECT_EQ(FitPictureRect(odd, 798, 782), odd);
}

TEST(FitPictureRectTest, SmallPictureIsEnlarged) {
    EXPECT_EQ(FitPictureRect(kArea, 16, 16), (PixelRect{210, 20, 510, 320}));
    EXPECT_EQ(FitPictureRect(PixelRect{0, 0, 100, 500}, 16, 16), (PixelRect{0, 0, 100, 100}));
}

TEST(FitPictureRectTest, ExtremeAreasAndPicturesDoNotOverflow) {
    const int lowest = std::numeric_limits<int>::min();
    const int highest = std::numeric_limits<int>::max();
    const PixelRect whole{lowest, lowest, highest, highest};
    EXPECT_EQ(FitPictureRect(whole, 1, 1), whole);
    // Half the width of 2^32 - 1, truncated.
    EXPECT_EQ(FitPictureRect(whole, 2, 1), (PixelRect{lowest, lowest, highest, -1}));
    EXPECT_EQ(FitPictureRect(whole, 1, 2), (PixelRect{lowest, lowest, -1, highest}));
    // Two thirds of 2^32 - 1: an extent no int holds, a far edge that one does.
    EXPECT_EQ(FitPictureRect(whole, 3, 2), (PixelRect{lowest, lowest, highest, 715827882}));
    EXPECT_EQ(FitPictureRect(whole, 2, 3), (PixelRect{lowest, lowest, 715827882, highest}));
    EXPECT_EQ(FitPictureRect(kArea, highest, 1), (PixelRect{210, 20, 610, 20}));
    EXPECT_EQ(FitPictureRect(kArea, 1, highest), (PixelRect{210, 20, 210, 320}));
}

TEST(FitPictureRectTest, AreaWithoutSizeGivesNothing) {
    const PixelRect empty{210, 20, 210, 20};
    // No width and no height: the area's ratio is not a number.
    EXPECT_EQ(FitPictureRect(PixelRect{210, 20, 210, 20}, 640, 480), empty);
    EXPECT_EQ(FitPictureRect(PixelRect{210, 20, 210, 320}, 640, 480), empty);
    EXPECT_EQ(FitPictureRect(PixelRect{210, 20, 610, 20}, 640, 480), empty);
    // A tree wider than the window leaves a negative width.
    EXPECT_EQ(FitPictureRect(PixelRect{210, 20, 150, 320}, 640, 480), empty);
}

TEST(FitPictureRectTest, PictureWithoutSizeGivesNothing) {
    const PixelRect empty{210, 20, 210, 20};
    EXPECT_EQ(FitPictureRect(kArea, 0, 0), empty);
    EXPECT_EQ(FitPictureRect(kArea, 0, 480), empty);
    EXPECT_EQ(FitPictureRect(kArea, 640, 0), empty);
    EXPECT_EQ(FitPictureRect(kArea, -640, 480), empty);
}

}  // namespace
