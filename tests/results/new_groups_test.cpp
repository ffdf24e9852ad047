#include "results/new_groups.h"

#include <gtest/gtest.h>

#include "engine/catalogue.h"
#include "engine/group_list.h"
#include "tests/support/engine_reset.h"

namespace {

class NewGroupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngine();
        AddFile("C:\\x\\a", 1234567);
        AddFile("C:\\x\\b", 10);
        AddFile("C:\\x\\c", 1234567);
        AddFile("C:\\x\\d", 10);
    }
    void TearDown() override { ResetEngine(); }
};

TEST_F(NewGroupsTest, CollectsFromTheCursorAndMovesItToTheEnd) {
    AppendGroup({0, 2});
    int32_t cursor = 0;
    std::vector<PresentedGroup> first = CollectNewGroups(cursor);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].label, "No.0  (1,234,567 byte)");
    EXPECT_EQ(first[0].paths, (std::vector<std::string>{"C:\\x\\a", "C:\\x\\c"}));
    EXPECT_EQ(cursor, 1);

    AppendGroup({1, 3});
    std::vector<PresentedGroup> second = CollectNewGroups(cursor);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].label, "No.1  (10 byte)");
    EXPECT_EQ(cursor, 2);
}

TEST_F(NewGroupsTest, CursorAtOrPastTheEndAddsNothingAndIsPulledBack) {
    AppendGroup({0, 2});
    int32_t cursor = 5;
    EXPECT_TRUE(CollectNewGroups(cursor).empty());
    EXPECT_EQ(cursor, 1);
    EXPECT_TRUE(CollectNewGroups(cursor).empty());
    EXPECT_EQ(cursor, 1);
}

TEST(GroupLabelTest, ParsesBackExactlyWhatItWrote) {
    int32_t number = -1;
    int64_t size = -1;
    ASSERT_TRUE(ParseGroupLabel(GroupLabel(12, 1234567), number, size));
    EXPECT_EQ(number, 12);
    EXPECT_EQ(size, 1234567);
    ASSERT_TRUE(ParseGroupLabel("No.0  (0 byte)", number, size));
    EXPECT_EQ(size, 0);
    const int64_t beyondFourGiB = (int64_t{1} << 32) + 1024;
    ASSERT_TRUE(ParseGroupLabel(GroupLabel(3, beyondFourGiB), number, size));
    EXPECT_EQ(size, beyondFourGiB);
    for (const char* other : {"No.1  (1,0,00 byte)", "No.1 (10 byte)", "No.1  (10 byte) ", "No.  (10 byte)",
                              "No.1  (,10 byte)", "No.99999999999  (1 byte)", "C:\\photos\\a.jpg"}) {
        EXPECT_FALSE(ParseGroupLabel(other, number, size)) << other;
    }
}

}  // namespace
