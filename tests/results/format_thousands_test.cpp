#include "results/format_thousands.h"

#include <gtest/gtest.h>

#include <climits>

#include "results/new_groups.h"

namespace {

TEST(FormatThousandsTest, GroupsDigitsByThree) {
    EXPECT_EQ(FormatThousands(7), "7");
    EXPECT_EQ(FormatThousands(999), "999");
    EXPECT_EQ(FormatThousands(1000), "1,000");
    EXPECT_EQ(FormatThousands(1001), "1,001");
    EXPECT_EQ(FormatThousands(100000), "100,000");
    EXPECT_EQ(FormatThousands(1234567), "1,234,567");
    EXPECT_EQ(FormatThousands(2147483647), "2,147,483,647");
}

TEST(FormatThousandsTest, LengthsPastThirtyTwoBitsStayTrue) {
    EXPECT_EQ(FormatThousands(2147483648LL), "2,147,483,648");
    EXPECT_EQ(FormatThousands(5368709120LL), "5,368,709,120");
    EXPECT_EQ(FormatThousands(LLONG_MAX), "9,223,372,036,854,775,807");
}

TEST(FormatThousandsTest, ZeroAndNegativeValuesGiveZero) {
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(-1), "0");
    EXPECT_EQ(FormatThousands(LLONG_MIN), "0");
}

TEST(GroupLabelTest, LabelsAsTheTreeShowsThem) {
    EXPECT_EQ(GroupLabel(0, 1234567), "No.0  (1,234,567 byte)");
    EXPECT_EQ(GroupLabel(12, 999), "No.12  (999 byte)");
    EXPECT_EQ(GroupLabel(3, 0), "No.3  (0 byte)");
    EXPECT_EQ(GroupLabel(4, -5), "No.4  (0 byte)");
    EXPECT_EQ(GroupLabel(5, 4294968320LL), "No.5  (4,294,968,320 byte)");
}

}  // namespace
