#include "shell/recycle_plan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>
#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/temp_tree.h"

namespace {

bool NeverStop() { return false; }
bool AlwaysStop() { return true; }

// Test stops that act when the work asks for them.
size_t g_batchesHanded = 0;
bool StopOnceABatchWasHanded() { return g_batchesHanded > 0; }
std::function<void()> g_afterFirstCheck;

std::vector<size_t> Members(const PlannedGroup& planned) { return planned.leaving; }

TEST(RecyclePlanTest, AllButFirstKeepsEachGroupsFirstAndSumsWhatGoes) {
    const std::vector<PresentedGroup> groups = {
        {0, 1000, {"a", "b", "c"}},
        {1, 3000000000, {"f", "g"}},
        {2, 5, {"lonely"}},
    };
    const std::vector<PlannedGroup> batches = PlanRecycleAllButFirst(groups);
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[0].group, 0u);
    EXPECT_EQ(batches[0].kept, 0u);
    EXPECT_EQ(Members(batches[0]), (std::vector<size_t>{1, 2}));
    EXPECT_EQ(batches[1].group, 1u);
    EXPECT_EQ(Members(batches[1]), (std::vector<size_t>{1}));
    const RecycleTotals totals = TotalsOf(batches);
    EXPECT_EQ(totals.files, 3u);
    EXPECT_EQ(totals.bytes, 2000 + int64_t{3000000000});

    const std::vector<PlannedGroup> keepSecond = PlanKeepOne(groups, 0, 1);
    ASSERT_EQ(keepSecond.size(), 1u);
    EXPECT_EQ(keepSecond[0].kept, 1u);
    EXPECT_EQ(Members(keepSecond[0]), (std::vector<size_t>{0, 2}));
    EXPECT_TRUE(PlanKeepOne(groups, 0, 3).empty());
    EXPECT_TRUE(PlanKeepOne(groups, 2, 0).empty());
    EXPECT_TRUE(PlanKeepOne(groups, 9, 0).empty());
}

class ProveDuplicatesTest : public ::testing::Test {
protected:
    void TearDown() override { SetReadFaultRule(nullptr); }

    // Recycles the plan, each batch's proven files "going" as the shell
    // would have them go; remembers what each batch was handed.
    BulkRecycleOutcome Recycle(const std::vector<PresentedGroup>& groups, const std::vector<PlannedGroup>& plan,
                               size_t batchFiles = kRecycleBatchFiles, bool (*stop)() = NeverStop) {
        handed_.clear();
        g_batchesHanded = 0;
        return RecycleInBatches(
            groups, plan, batchFiles,
            [this](const std::vector<ProvenDuplicate>& proven) {
                ++g_batchesHanded;
                handed_.emplace_back();
                for (const ProvenDuplicate& file : proven) {
                    EXPECT_TRUE(file.held);
                    handed_.back().push_back(*file.path);
                }
                return std::vector<bool>(proven.size(), true);
            },
            [this](size_t done, size_t total) {
                progress_.emplace_back(done, total);
                if (g_afterFirstCheck) std::exchange(g_afterFirstCheck, nullptr)();
            },
            stop);
    }

    TempTree tree_;
    std::vector<std::vector<std::string>> handed_;
    std::vector<std::pair<size_t, size_t>> progress_;
};

// Only exact copies of a kept file that still stands go; everything that
// changed since the run, or cannot be told apart from a kept file, stays.
TEST_F(ProveDuplicatesTest, OnlyUnchangedCopiesOfAnExistingKeptFileGo) {
    const std::string bytes = PatternBytes(300, 1);
    std::string differsInTheMiddle = bytes;
    differsInTheMiddle[150] ^= 1;
    tree_.File("g0/kept", bytes);
    tree_.File("g0/copy", bytes);
    tree_.File("g0/edited", differsInTheMiddle);
    tree_.File("g0/grown", bytes + "x");
    tree_.File("g1/copy", bytes);  // its kept file was deleted after the run
    std::vector<PresentedGroup> groups = {
        {0, 300,
         {tree_.Path("g0/kept"), tree_.Path("g0/copy"), tree_.Path("g0/edited"), tree_.Path("g0/grown"),
          tree_.Path("g0/gone"), tree_.Path("g0/kept")}},
        {1, 300, {tree_.Path("g1/kept-gone"), tree_.Path("g1/copy")}},
    };
    const BulkRecycleOutcome outcome = Recycle(groups, PlanRecycleAllButFirst(groups));
    EXPECT_FALSE(outcome.stopped);
    EXPECT_EQ(handed_, (std::vector<std::vector<std::string>>{{tree_.Path("g0/copy")}}));
    EXPECT_EQ(outcome.recycled, (std::vector<std::pair<size_t, size_t>>{{0, 1}}));
    // edited, grown, gone, the kept path given twice, and the copy of a kept
    // file that is gone.
    EXPECT_EQ(outcome.left, 5u);
    EXPECT_EQ(outcome.notRecycled, 0u);
    ASSERT_FALSE(progress_.empty());
    EXPECT_EQ(progress_.back(), std::make_pair(size_t{12}, size_t{12}));
}

TEST_F(ProveDuplicatesTest, AnotherNameOfAnyKeptFileNeverGoes) {
    const std::string bytes = PatternBytes(5000, 2);
    tree_.File("a/kept", bytes);
    tree_.File("b/kept", bytes);
    if (!tree_.HardLink("a/kept", "b/link-to-first")) GTEST_SKIP() << "no hard links here";
    // The second group leaves a hard link of the first group's kept file.
    std::vector<PresentedGroup> groups = {
        {0, 5000, {tree_.Path("a/kept"), tree_.Path("a/kept")}},
        {1, 5000, {tree_.Path("b/kept"), tree_.Path("b/link-to-first")}},
    };
    const BulkRecycleOutcome outcome = Recycle(groups, PlanRecycleAllButFirst(groups));
    EXPECT_TRUE(handed_.empty());
    EXPECT_EQ(outcome.left, 2u);
}

TEST_F(ProveDuplicatesTest, AStopProvesNothing) {
    const std::string bytes = PatternBytes(100, 3);
    tree_.File("kept", bytes);
    tree_.File("copy", bytes);
    std::vector<PresentedGroup> groups = {{0, 100, {tree_.Path("kept"), tree_.Path("copy")}}};
    const BulkRecycleOutcome outcome = Recycle(groups, PlanRecycleAllButFirst(groups), kRecycleBatchFiles, AlwaysStop);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_TRUE(handed_.empty());
}

// A read that fails is no proof: two different files whose reads both
// fail from the first byte on would otherwise read as equally short.
TEST_F(ProveDuplicatesTest, AFileWhoseReadFailsIsNeverProven) {
    tree_.File("kept", PatternBytes(4096, 1));
    tree_.File("other", PatternBytes(4096, 2));
    SetReadFaultRule([](const std::string&, uint64_t& failsAt) { return failsAt = 0, true; });
    std::vector<PresentedGroup> groups = {{0, 4096, {tree_.Path("kept"), tree_.Path("other")}}};
    const BulkRecycleOutcome outcome = Recycle(groups, PlanRecycleAllButFirst(groups));
    EXPECT_TRUE(handed_.empty());
    EXPECT_EQ(outcome.left, 1u);
}

// The kept file is read through the handle that holds it: a link to it
// retargeted after it was held must not make other bytes the proof.
TEST_F(ProveDuplicatesTest, TheKeptFileIsReadThroughItsHeldHandle) {
    tree_.File("kept-target", PatternBytes(3000, 1));
    tree_.File("copy", PatternBytes(3000, 1));
    tree_.File("lookalike", PatternBytes(3000, 2));
    tree_.File("leaving", PatternBytes(3000, 2));
    std::error_code error;
    std::filesystem::create_symlink(NativePath(tree_.Path("kept-target")), NativePath(tree_.Path("kept")), error);
    if (error) GTEST_SKIP() << "no symbolic links here";
    g_afterFirstCheck = [this] {
        std::filesystem::remove(NativePath(tree_.Path("kept")));
        std::filesystem::create_symlink(NativePath(tree_.Path("lookalike")), NativePath(tree_.Path("kept")));
    };
    std::vector<PresentedGroup> groups = {
        {0, 3000, {tree_.Path("kept"), tree_.Path("copy"), tree_.Path("leaving")}}};
    const BulkRecycleOutcome outcome = Recycle(groups, PlanRecycleAllButFirst(groups));
    EXPECT_EQ(handed_, (std::vector<std::vector<std::string>>{{tree_.Path("copy")}}));
    EXPECT_EQ(outcome.left, 1u);
}

// Batches hold a bounded number of files, a big group spreads over several,
// the progress runs over the whole work, and a stop keeps what went.
TEST_F(ProveDuplicatesTest, BatchesOfBoundedSizeAndAStopBetweenThem) {
    std::vector<PresentedGroup> groups = {{0, 50, {}}, {1, 60, {}}};
    for (int copy = 0; copy < 8; ++copy) {
        tree_.File("a" + std::to_string(copy), PatternBytes(50, 1));
        groups[0].paths.push_back(tree_.Path("a" + std::to_string(copy)));
    }
    for (int copy = 0; copy < 3; ++copy) {
        tree_.File("b" + std::to_string(copy), PatternBytes(60, 2));
        groups[1].paths.push_back(tree_.Path("b" + std::to_string(copy)));
    }
    const std::vector<PlannedGroup> plan = PlanRecycleAllButFirst(groups);
    BulkRecycleOutcome outcome = Recycle(groups, plan, 3);
    ASSERT_EQ(handed_.size(), 3u);
    for (const auto& batch : handed_) EXPECT_EQ(batch.size(), 3u);
    EXPECT_EQ(handed_[2], (std::vector<std::string>{groups[0].paths[7], groups[1].paths[1], groups[1].paths[2]}));
    EXPECT_EQ(outcome.recycled.size(), 9u);
    EXPECT_TRUE(std::is_sorted(progress_.begin(), progress_.end()));
    EXPECT_EQ(progress_.back(), std::make_pair(size_t{18}, size_t{18}));

    outcome = Recycle(groups, plan, 3, StopOnceABatchWasHanded);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(handed_.size(), 1u);
    EXPECT_EQ(outcome.recycled.size(), 3u);
}

}  // namespace
