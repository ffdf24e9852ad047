// The engine's grouping against the plain passes kept in the tests: on many
// random small trees both must give the same groups, in the same order, with
// the same done flags and processed counter; a stop at a random moment must
// leave a prefix of those groups.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "engine/analysis_run.h"
#include "engine/analysis_state.h"
#include "engine/candidate_sets.h"
#include "engine/catalogue.h"
#include "engine/folder_scan.h"
#include "engine/group_buckets.h"
#include "engine/group_list.h"
#include "tests/engine/reference_grouping.h"
#include "tests/support/engine_reset.h"
#include "tests/support/temp_tree.h"

namespace {

struct Outcome {
    std::vector<DuplicateGroup> groups;
    std::vector<bool> done;
    uint32_t processed = 0;
};

Outcome CurrentOutcome() {
    Outcome outcome;
    for (size_t g = 0; g < GroupCount(); ++g) outcome.groups.push_back(GroupAt(g));
    for (size_t i = 0; i < RecordCount(); ++i) outcome.done.push_back(IsDone(i));
    outcome.processed = g_analysis.processed.load();
    return outcome;
}

// Back to the moment the scan ended: same catalogue, nothing grouped.
void ForgetGrouping() {
    for (size_t i = 0; i < RecordCount(); ++i) SetDone(i, false);
    ClearGroupList();
    g_analysis.processed.store(0);
    g_analysis.cancelCode.store(kNoCancel);
}

template <typename Grouping>
Outcome GroupWith(Grouping grouping) {
    ForgetGrouping();
    grouping();
    return CurrentOutcome();
}

bool IsPrefixOf(const std::vector<DuplicateGroup>& part, const std::vector<DuplicateGroup>& whole) {
    if (part.size() > whole.size()) return false;
    return std::equal(part.begin(), part.end(), whole.begin());
}

// The groups whose size lies in worker k's range, in list order.
std::vector<DuplicateGroup> GroupsOfWorker(const std::vector<DuplicateGroup>& groups, int worker) {
    const BucketRange range = WorkerBucketRange(worker, BucketCount());
    std::vector<DuplicateGroup> own;
    for (const DuplicateGroup& group : groups) {
        const size_t bucket = FindSizeBucket(Record(static_cast<size_t>(group.front())).size).position;
        if (bucket >= range.first && bucket < range.end) own.push_back(group);
    }
    return own;
}

// Random small trees whose blind spots are the narrowing's: sizes around
// the chunk and probe-block lengths, files that differ only in the first,
// middle or last byte or only at a block boundary, hard links, catalogued
// files that vanished or became folders.
class RandomTree {
public:
    explicit RandomTree(unsigned seed) : random_(seed) {}

    void Write(TempTree& tree, bool catalogueDirectly) {
        static const int64_t kSizes[] = {0,
                                         1,
                                         100,
                                         2048,
                                         2049,
                                         static_cast<int64_t>(kProbeBlock) - 1,
                                         static_cast<int64_t>(kProbeBlock) + 1,
                                         2 * static_cast<int64_t>(kProbeBlock),
                                         2 * static_cast<int64_t>(kProbeBlock) + 7,
                                         70000};
        const int fileCount = Pick(8, 60);
        const int sizeCount = Pick(1, 10);
        for (int f = 0; f < fileCount; ++f) {
            const std::string name = "d" + std::to_string(Pick(0, 3)) + "/f" + std::to_string(f);
            const int64_t size = kSizes[Pick(0, sizeCount - 1)];
            const int kind = Pick(0, 19);
            if (kind == 0 && !written_.empty()) {
                // A second name for a file already written.
                if (tree.HardLink(written_[static_cast<size_t>(Pick(0, static_cast<int>(written_.size()) - 1))],
                                  name))
                    Catalogue(tree, name, catalogueDirectly);
                continue;
            }
            tree.File(name, Contents(size, Pick(0, 5)));
            written_.push_back(name);
            Catalogue(tree, name, catalogueDirectly);
            if (kind == 1) vanished_.push_back(name);
            if (kind == 2) becameFolders_.push_back(name);
        }
    }

    // What happens to files between the scan and the grouping.
    void DisturbAfterScan(TempTree& tree) {
        for (const std::string& name : vanished_) std::filesystem::remove(NativePath(tree.Path(name)));
        for (const std::string& name : becameFolders_) {
            std::filesystem::remove(NativePath(tree.Path(name)));
            tree.Folder(name);
        }
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    // One of a few variants per size: variant 0 is the base, the others
    // change one byte at a place that some stage cannot see.
    static std::string Contents(int64_t size, int variant) {
        std::string bytes = PatternBytes(static_cast<size_t>(size), static_cast<unsigned>(size));
        if (size == 0 || variant == 0) return bytes;
        const size_t n = bytes.size();
        const size_t places[] = {0, n / 2, n - 1, std::min(n - 1, kProbeBlock), n > kProbeBlock ? n - kProbeBlock - 1 : 0};
        bytes[places[static_cast<size_t>(variant - 1) % 5]] ^= static_cast<char>(variant);
        return bytes;
    }

    static void Catalogue(TempTree& tree, const std::string& name, bool catalogueDirectly) {
        if (!catalogueDirectly) return;
        std::error_code error;
        const auto size = std::filesystem::file_size(NativePath(tree.Path(name)), error);
        if (!error) AddFile(tree.Path(name), static_cast<int64_t>(size));
    }

    std::mt19937 random_;
    std::vector<std::string> written_;
    std::vector<std::string> vanished_;
    std::vector<std::string> becameFolders_;
};

class GroupingEquivalenceTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngine(); }
    void TearDown() override { ResetEngine(); }
};

TEST_F(GroupingEquivalenceTest, SameGroupsOrderDoneFlagsAndCounterAsThePlainPasses) {
    for (unsigned seed = 1; seed <= 120; ++seed) {
        ResetEngine();
        TempTree tree;
        RandomTree random(seed);
        random.Write(tree, true);
        random.DisturbAfterScan(tree);
        const Outcome expected = GroupWith([] { ReferenceGroupBuckets(0, BucketCount()); });
        const Outcome actual = GroupWith([] { GroupBuckets(0, BucketCount()); });
        ASSERT_EQ(actual.groups, expected.groups) << "seed " << seed;
        ASSERT_EQ(actual.done, expected.done) << "seed " << seed;
        ASSERT_EQ(actual.processed, expected.processed) << "seed " << seed;
        ASSERT_EQ(actual.processed, RecordCount()) << "seed " << seed;
    }
}

// A front end that shows nothing: the tests read the group list itself.
AnalysisView SilentView() {
    AnalysisView view;
    view.clearResults = [] {};
    view.addNewGroups = [](int32_t& cursor, bool) { cursor = static_cast<int32_t>(GroupCount()); };
    view.setProgress = [](unsigned) {};
    view.switchRunMenu = [](bool) {};
    view.closeProgress = [] {};
    view.reportOutcome = [](int32_t, double, const char*) {};
    return view;
}

// Ten workers with helpers: the interleaving of workers is free, but each
// worker's groups arrive exactly as the plain passes form them over its range.
TEST_F(GroupingEquivalenceTest, FullRunGivesEachWorkerThePlainPassesGroupsInOrder) {
    for (unsigned seed = 500; seed < 530; ++seed) {
        ResetEngine();
        TempTree tree;
        RandomTree random(seed);
        random.Write(tree, false);
        ASSERT_TRUE(BeginAnalysis());
        const AnalysisView view = SilentView();
        AnalysisCoordinator(tree.Root(), view);
        const Outcome actual = CurrentOutcome();
        const Outcome expected = GroupWith([] { ReferenceGroupBuckets(0, BucketCount()); });
        ASSERT_EQ(actual.groups.size(), expected.groups.size()) << "seed " << seed;
        for (int worker = 0; worker < kWorkerCount; ++worker)
            ASSERT_EQ(GroupsOfWorker(actual.groups, worker), GroupsOfWorker(expected.groups, worker))
                << "seed " << seed << " worker " << worker;
        ASSERT_EQ(actual.done, expected.done) << "seed " << seed;
        ASSERT_EQ(actual.processed, RecordCount()) << "seed " << seed;
    }
}

// A stop at a random moment keeps a prefix of the groups the whole run
// forms: nothing cut short, nothing skipped, no record counted twice.
TEST_F(GroupingEquivalenceTest, StopAtRandomMomentKeepsAPrefixOfTheGroups) {
    std::mt19937 random(7);
    size_t stoppedShort = 0;
    for (unsigned seed = 1000; seed < 1040; ++seed) {
        ResetEngine();
        TempTree tree;
        RandomTree randomTree(seed);
        randomTree.Write(tree, true);
        const Outcome whole = GroupWith([] { ReferenceGroupBuckets(0, BucketCount()); });
        const auto started = std::chrono::steady_clock::now();
        GroupWith([] { GroupBuckets(0, BucketCount()); });
        const auto duration = std::chrono::steady_clock::now() - started;
        for (int trial = 0; trial < 8; ++trial) {
            const auto delay = std::chrono::duration_cast<std::chrono::microseconds>(duration) *
                               std::uniform_int_distribution<int>(0, 100)(random) / 100;
            const Outcome stopped = GroupWith([delay] {
                std::thread stopper([delay] {
                    std::this_thread::sleep_for(delay);
                    RequestStop();
                });
                GroupBuckets(0, BucketCount());
                stopper.join();
            });
            ASSERT_TRUE(IsPrefixOf(stopped.groups, whole.groups)) << "seed " << seed << " trial " << trial;
            size_t grouped = 0;
            for (const DuplicateGroup& group : stopped.groups) grouped += group.size();
            ASSERT_GE(stopped.processed, grouped);
            ASSERT_LE(stopped.processed, RecordCount());
            size_t doneCount = 0;
            for (size_t i = 0; i < stopped.done.size(); ++i) {
                if (!stopped.done[i]) continue;
                ++doneCount;
                ASSERT_TRUE(whole.done[i]) << "record " << i << " done only when stopped";
            }
            ASSERT_LE(doneCount, stopped.processed);
            if (stopped.groups.size() < whole.groups.size()) ++stoppedShort;
        }
    }
    // The delays must land inside the work often enough to mean something.
    EXPECT_GT(stoppedShort, 0u);
}

TEST_F(GroupingEquivalenceTest, StopDuringAFullRunKeepsAPrefixForEveryWorker) {
    for (unsigned seed = 2000; seed < 2012; ++seed) {
        ResetEngine();
        TempTree tree;
        RandomTree random(seed);
        random.Write(tree, false);
        ASSERT_TRUE(BeginAnalysis());
        const AnalysisView view = SilentView();
        std::thread stopper([seed] {
            std::this_thread::sleep_for(std::chrono::microseconds(seed % 7 * 150));
            RequestStop();
        });
        AnalysisCoordinator(tree.Root(), view);
        stopper.join();
        const Outcome stopped = CurrentOutcome();
        const Outcome whole = GroupWith([] { ReferenceGroupBuckets(0, BucketCount()); });
        for (int worker = 0; worker < kWorkerCount; ++worker)
            ASSERT_TRUE(IsPrefixOf(GroupsOfWorker(stopped.groups, worker), GroupsOfWorker(whole.groups, worker)))
                << "seed " << seed << " worker " << worker;
    }
}

}  // namespace
