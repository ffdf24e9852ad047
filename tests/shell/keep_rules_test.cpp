#include "shell/keep_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::vector<PresentedGroup> kGroups = {
    {0, 10, {"C:\\a\\x", "C:\\b\\x", "C:\\a\\sub\\x"}},
    {1, 20, {"C:\\c\\y", "C:\\d\\y"}},
    {2, 30, {"C:\\ab\\z", "C:\\b\\z"}},
};

std::vector<size_t> Kept(const std::vector<PlannedGroup>& plan) {
    std::vector<size_t> kept;
    for (const PlannedGroup& group : plan) kept.push_back(group.group * 10 + group.kept);
    return kept;
}

TEST(KeepRulesTest, NewestOrOldestStaysTheFirstOfATieAndUnreadTimesNever) {
    const std::vector<std::vector<int64_t>> times = {
        {100, 300, 300},                  // the newest tie goes to the first of them
        {kNoWriteTime, 50},               // an unread time never stays
        {kNoWriteTime, kNoWriteTime},     // nothing read: the group takes no part
    };
    EXPECT_EQ(Kept(PlanKeepByWriteTime(kGroups, times, KeptByTime::kNewest)), (std::vector<size_t>{1, 11}));
    EXPECT_EQ(Kept(PlanKeepByWriteTime(kGroups, times, KeptByTime::kOldest)), (std::vector<size_t>{0, 11}));
    const std::vector<PlannedGroup> plan = PlanKeepByWriteTime(kGroups, times, KeptByTime::kNewest);
    EXPECT_EQ(plan[0].leaving, (std::vector<size_t>{0, 2}));
    EXPECT_EQ(plan[0].size, 10);
}

TEST(KeepRulesTest, TheFirstMemberInsideTheFolderOrBelowItStays) {
    EXPECT_EQ(FolderOfPath("C:\\a\\x", '\\'), "C:\\a\\");
    // C:\ab\ is not inside C:\a\; C:\a\sub\ is.
    EXPECT_EQ(Kept(PlanKeepInFolder(kGroups, "C:\\a\\")), (std::vector<size_t>{0}));
    EXPECT_EQ(Kept(PlanKeepInFolder(kGroups, "C:\\b\\")), (std::vector<size_t>{1, 21}));
    EXPECT_EQ(Kept(PlanKeepInFolder(kGroups, "C:\\a\\sub\\")), (std::vector<size_t>{2}));
    EXPECT_TRUE(PlanKeepInFolder(kGroups, "").empty());
}

}  // namespace
