#include "results/new_groups.h"
#include "results/results_store.h"

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
    EXPECT_EQ(first[0].number, 0);
    EXPECT_EQ(first[0].size, 1234567);
    EXPECT_EQ(first[0].paths, (std::vector<std::string>{"C:\\x\\a", "C:\\x\\c"}));
    EXPECT_EQ(cursor, 1);

    AppendGroup({1, 3});
    std::vector<PresentedGroup> second = CollectNewGroups(cursor);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].number, 1);
    EXPECT_EQ(second[0].size, 10);
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

TEST(GroupLabelTest, GroupsTheSizesDigits) {
    EXPECT_EQ(GroupLabel(12, 1234567), "No.12  (1,234,567 byte)");
    EXPECT_EQ(GroupLabel(3, (int64_t{1} << 32) + 1024), "No.3  (4,294,968,320 byte)");
}

TEST(ResultsStoreTest, RemovingAndMovingKeepIdsAndDropAGroupLeftWithOneFile) {
    ResultsStore store;
    const GroupId first = store.Add({4, 10, {"C:\\a", "C:\\b", "C:\\c"}});
    const GroupId second = store.Add({5, 2048, {"C:\\d", "C:\\e"}});
    EXPECT_EQ(store.Label(second), "No.5  (2,048 byte)");
    const std::vector<MemberId> members = store.Members(first);
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(store.Path(members[2]), "C:\\c");

    EXPECT_FALSE(store.Remove(members[1]));
    EXPECT_EQ(store.Members(first), (std::vector<MemberId>{members[0], members[2]}));
    store.Move(members[2], "D:\\moved\\c");
    MemberId found = 0;
    ASSERT_TRUE(store.FindMember("D:\\moved\\c", found));
    EXPECT_EQ(found, members[2]);
    EXPECT_FALSE(store.FindMember("C:\\b", found));

    // The group's last two: one goes, the other is no duplicate any more.
    EXPECT_TRUE(store.Remove(members[0]));
    EXPECT_FALSE(store.IsShown(first));
    EXPECT_FALSE(store.IsMember(members[2]));
    EXPECT_FALSE(store.Remove(members[2]));
    const ResultsSnapshot snapshot = store.Snapshot();
    ASSERT_EQ(snapshot.groups.size(), 1u);
    EXPECT_EQ(snapshot.ids[0], second);
    EXPECT_EQ(snapshot.groups[0].paths, (std::vector<std::string>{"C:\\d", "C:\\e"}));
    EXPECT_EQ(store.Path(snapshot.members[0][1]), "C:\\e");
    EXPECT_TRUE(store.HasGroups());
    EXPECT_TRUE(store.Remove(snapshot.members[0][0]));
    EXPECT_FALSE(store.HasGroups());
}

TEST(ResultsStoreTest, EveryPathComesBackWholeHoweverItSplitsIntoFolderAndName) {
    const std::string longName = "C:\\deep\\" + std::string(70000, 'n');
    const std::vector<std::string> paths = {"C:\\one\\a", "C:\\one\\b", "bare", "D:/two/c", "C:\\one\\", longName};
    ResultsStore store;
    const GroupId group = store.Add({0, 1, paths});
    const std::vector<MemberId> members = store.Members(group);
    ASSERT_EQ(members.size(), paths.size());
    for (size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(store.Path(members[i]), paths[i]) << i;
    MemberId found = 0;
    ASSERT_TRUE(store.FindMember(longName, found));
    EXPECT_EQ(found, members[5]);
    EXPECT_FALSE(store.FindMember("C:\\one\\ab", found));
    store.Move(members[0], "C:\\one\\b2");
    EXPECT_EQ(store.Path(members[0]), "C:\\one\\b2");
    EXPECT_EQ(store.Path(members[1]), "C:\\one\\b");
}

}  // namespace
