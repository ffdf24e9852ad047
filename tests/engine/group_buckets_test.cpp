#include "engine/group_buckets.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "engine/analysis_state.h"
#include "engine/candidate_sets.h"
#include "engine/input_file.h"
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
    void TearDown() override {
        SetReadFaultRule(nullptr);
        ResetEngine();
    }

    // Reads of the named files fail from `failsAt` on, from their
    // `fromOpen`-th open on (counted from 1).
    void FailReads(std::map<std::string, uint64_t> failsAt, int fromOpen = 1) {
        auto opens = std::make_shared<std::map<std::string, int>>();
        SetReadFaultRule([this, failsAt, fromOpen, opens](const std::string& path, uint64_t& at) {
            for (const auto& [name, offset] : failsAt) {
                if (path == tree_.Path(name) && ++(*opens)[name] >= fromOpen) return at = offset, true;
            }
            return false;
        });
    }

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
    for (int32_t i : {a, b, c, d}) EXPECT_TRUE(IsDone(static_cast<size_t>(i)));
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
    EXPECT_FALSE(IsDone(0));
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

// A read that fails is neither equal nor different: the file leaves its
// bucket, which goes on without it. Two different files whose reads fail
// from the start would otherwise read as equally short, hence equal.
TEST_F(GroupBucketsTest, AFileWhoseReadFailsLeavesItsBucket) {
    const std::string same = PatternBytes(4096, 3);
    Add("A", PatternBytes(4096, 1));
    Add("B", PatternBytes(4096, 2));
    const int32_t c = Add("C", same);
    const int32_t d = Add("D", same);
    Add("E", same);
    FailReads({{"A", 0}, {"B", 0}, {"E", 2000}});
    CandidateSet all;
    all.members = {0, 1};
    std::vector<CandidateSet> pieces;
    ASSERT_TRUE(SplitCandidates(all, 4096, Narrowing::kFirstBlock, pieces));
    EXPECT_EQ(pieces.size(), 2u) << "unreadable files are no candidates of each other";
    GroupEverything();
    EXPECT_EQ(AllGroups(), (std::vector<DuplicateGroup>{{c, d}}));
    EXPECT_EQ(Processed(), 5u);
}

// A reference whose read fails after some files joined it leaves, and the
// files that joined it are grouped without it.
TEST_F(GroupBucketsTest, AReferenceWhoseReadFailsLaterLeavesAndThePassIsMadeAgain) {
    const std::string same = PatternBytes(3000, 4);
    Add("R", same);
    const int32_t b = Add("B", same);
    const int32_t c = Add("C", same);
    const int32_t d = Add("D", same);
    FailReads({{"R", 100}}, 3);  // its first-block digest and one comparison read whole
    GroupEverything();
    EXPECT_EQ(AllGroups(), (std::vector<DuplicateGroup>{{b, c, d}}));
    EXPECT_EQ(Processed(), 4u);
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
