#include "engine/group_buckets.h"

#include <gtest/gtest.h>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/group_list.h"
#include "tests/support/engine_reset.h"
#include "tests/support/temp_tree.h"

namespace {

std::vector<DuplicateGroup> AllGroups() {
    std::vector<DuplicateGroup> groups;
    for (size_t g = 0; g < GroupCount(); ++g) groups.push_back(GroupAt(g));
    return groups;
}

class GroupBucketsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngine(); }
    void TearDown() override { ResetEngine(); }

    // Writes a file and catalogues it; returns its catalogue index.
    int32_t Add(const std::string& name, const std::string& contents) {
        tree_.File(name, contents);
        AddFile(tree_.Path(name), static_cast<int64_t>(contents.size()));
        return static_cast<int32_t>(RecordCount() - 1);
    }
    void GroupEverything() { GroupBuckets(0, BucketCount()); }
    static uint32_t Processed() { return g_analysis.processed.load(); }

    TempTree tree_;
};

TEST_F(GroupBucketsTest, InterleavedPairsGiveTwoGroupsInOrder) {
    const std::string one = PatternBytes(3000, 1);
    const std::string two = PatternBytes(3000, 2);
    int32_t a = Add("A", one);
    int32_t b = Add("B", two);
    int32_t c = Add("C", one);
    int32_t d = Add("D", two);
    GroupEverything();
    EXPECT_EQ(AllGroups(), (std::vector<DuplicateGroup>{{a, c}, {b, d}}));
    EXPECT_EQ(Processed(), 4u);
    for (int32_t i : {a, b, c, d}) EXPECT_TRUE(Record(i).done);
}

TEST_F(GroupBucketsTest, AllDifferentFilesFormNoGroup) {
    Add("A", "aaa");
    Add("B", "bbb");
    Add("C", "ccc");
    GroupEverything();
    EXPECT_EQ(GroupCount(), 0u);
    EXPECT_EQ(Processed(), 3u);
}

TEST_F(GroupBucketsTest, IdenticalFilesFormOneGroupInCatalogueOrder) {
    Add("other-size", "zz");
    int32_t a = Add("A", "same");
    int32_t b = Add("B", "same");
    int32_t c = Add("C", "same");
    GroupEverything();
    EXPECT_EQ(AllGroups(), (std::vector<DuplicateGroup>{{a, b, c}}));
    EXPECT_EQ(Processed(), 4u);
}

TEST_F(GroupBucketsTest, ZeroLengthFilesAreDuplicates) {
    int32_t a = Add("empty1", "");
    int32_t b = Add("empty2", "");
    GroupEverything();
    EXPECT_EQ(AllGroups(), (std::vector<DuplicateGroup>{{a, b}}));
}

TEST_F(GroupBucketsTest, SingleFileBucketCountsOnceAndIsNeverOpened) {
    AddFile(tree_.Path("never-written"), 77);
    GroupEverything();
    EXPECT_EQ(Processed(), 1u);
    EXPECT_FALSE(Record(0).done);
    EXPECT_EQ(GroupCount(), 0u);
}

TEST_F(GroupBucketsTest, UnopenableReferenceLeavesTheOthersToGroupAmongThemselves) {
    AddFile(tree_.Path("missing"), 4);
    int32_t b = Add("B", "data");
    int32_t c = Add("C", "data");
    GroupEverything();
    EXPECT_EQ(AllGroups(), (std::vector<DuplicateGroup>{{b, c}}));
    EXPECT_EQ(Processed(), 3u);
}

TEST_F(GroupBucketsTest, GroupsAscendBySizeWithinOneRange) {
    int32_t big1 = Add("big1", PatternBytes(5000, 9));
    int32_t small1 = Add("small1", "xy");
    int32_t big2 = Add("big2", PatternBytes(5000, 9));
    int32_t small2 = Add("small2", "xy");
    GroupEverything();
    EXPECT_EQ(AllGroups(), (std::vector<DuplicateGroup>{{small1, small2}, {big1, big2}}));
}

TEST_F(GroupBucketsTest, StopKeepsEarlierGroupsAndDropsTheRest) {
    int32_t a = Add("A", "xy");
    int32_t b = Add("B", "xy");
    Add("C", "pqr");
    Add("D", "pqr");
    GroupBuckets(0, 1);
    g_analysis.cancelCode.store(kCancelByUser);
    GroupBuckets(1, 2);
    EXPECT_EQ(AllGroups(), (std::vector<DuplicateGroup>{{a, b}}));
    EXPECT_EQ(Processed(), 2u);
}

TEST_F(GroupBucketsTest, EmptyRangeDoesNothing) {
    Add("A", "xy");
    Add("B", "xy");
    GroupBuckets(1, 1);
    EXPECT_EQ(GroupCount(), 0u);
    EXPECT_EQ(Processed(), 0u);
}

}  // namespace
