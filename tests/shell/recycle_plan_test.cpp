#include "shell/recycle_plan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_tree.h"

namespace {

bool NeverStop() { return false; }
bool AlwaysStop() { return true; }

std::vector<size_t> Members(const RecycleBatch& batch) { return batch.leaving; }

TEST(RecyclePlanTest, AllButFirstKeepsEachGroupsFirstAndSumsWhatGoes) {
    const std::vector<PresentedGroup> groups = {
        {"No.0  (1,000 byte)", {"a", "b", "c"}},
        {"not a label", {"d", "e"}},
        {"No.2  (3,000,000,000 byte)", {"f", "g"}},
        {"No.3  (5 byte)", {"lonely"}},
    };
    const std::vector<RecycleBatch> batches = PlanRecycleAllButFirst(groups);
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[0].group, 0u);
    EXPECT_EQ(batches[0].kept, 0u);
    EXPECT_EQ(Members(batches[0]), (std::vector<size_t>{1, 2}));
    EXPECT_EQ(batches[1].group, 2u);
    EXPECT_EQ(Members(batches[1]), (std::vector<size_t>{1}));
    const RecycleTotals totals = TotalsOf(batches);
    EXPECT_EQ(totals.files, 3u);
    EXPECT_EQ(totals.bytes, 2000 + int64_t{3000000000});

    const std::vector<RecycleBatch> keepSecond = PlanKeepOne(groups, 0, 1);
    ASSERT_EQ(keepSecond.size(), 1u);
    EXPECT_EQ(keepSecond[0].kept, 1u);
    EXPECT_EQ(Members(keepSecond[0]), (std::vector<size_t>{0, 2}));
    EXPECT_TRUE(PlanKeepOne(groups, 0, 3).empty());
    EXPECT_TRUE(PlanKeepOne(groups, 3, 0).empty());
    EXPECT_TRUE(PlanKeepOne(groups, 9, 0).empty());
}

class ProveDuplicatesTest : public ::testing::Test {
protected:
    static std::string Label(int32_t number, int64_t size) { return GroupLabel(number, size); }
    TempTree tree_;
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
        {Label(0, 300),
         {tree_.Path("g0/kept"), tree_.Path("g0/copy"), tree_.Path("g0/edited"), tree_.Path("g0/grown"),
          tree_.Path("g0/gone"), tree_.Path("g0/kept")}},
        {Label(1, 300), {tree_.Path("g1/kept-gone"), tree_.Path("g1/copy")}},
    };
    size_t progressCalls = 0;
    const RecycleProof proof =
        ProveDuplicates(groups, PlanRecycleAllButFirst(groups),
                        [&](size_t done, size_t planned) {
                            EXPECT_EQ(done, ++progressCalls);
                            EXPECT_EQ(planned, 6u);
                        },
                        NeverStop);
    EXPECT_FALSE(proof.stopped);
    ASSERT_EQ(proof.proven.size(), 1u);
    EXPECT_EQ(proof.proven[0].group, 0u);
    EXPECT_EQ(proof.proven[0].member, 1u);
    EXPECT_TRUE(proof.proven[0].held);
    // edited, grown, gone, the kept path given twice, and the copy of a kept
    // file that is gone.
    EXPECT_EQ(proof.left, 5u);
    EXPECT_EQ(proof.keptFiles.size(), 1u);
    EXPECT_EQ(progressCalls, 6u);
}

TEST_F(ProveDuplicatesTest, AnotherNameOfAnyKeptFileNeverGoes) {
    const std::string bytes = PatternBytes(5000, 2);
    tree_.File("a/kept", bytes);
    tree_.File("b/kept", bytes);
    if (!tree_.HardLink("a/kept", "b/link-to-first")) GTEST_SKIP() << "no hard links here";
    // The second group leaves a hard link of the first group's kept file.
    std::vector<PresentedGroup> groups = {
        {Label(0, 5000), {tree_.Path("a/kept"), tree_.Path("a/kept")}},
        {Label(1, 5000), {tree_.Path("b/kept"), tree_.Path("b/link-to-first")}},
    };
    const RecycleProof proof = ProveDuplicates(groups, PlanRecycleAllButFirst(groups), [](size_t, size_t) {}, NeverStop);
    EXPECT_TRUE(proof.proven.empty());
    EXPECT_EQ(proof.left, 2u);
}

TEST_F(ProveDuplicatesTest, AStopProvesNothing) {
    const std::string bytes = PatternBytes(100, 3);
    tree_.File("kept", bytes);
    tree_.File("copy", bytes);
    std::vector<PresentedGroup> groups = {{Label(0, 100), {tree_.Path("kept"), tree_.Path("copy")}}};
    const RecycleProof proof = ProveDuplicates(groups, PlanRecycleAllButFirst(groups), [](size_t, size_t) {}, AlwaysStop);
    EXPECT_TRUE(proof.stopped);
    EXPECT_TRUE(proof.proven.empty());
}

}  // namespace
