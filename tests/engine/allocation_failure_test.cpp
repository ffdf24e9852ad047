// A run that meets an allocation failure anywhere (the catalogue, a worker,
// a worker's thread, the hand-over to the front end) ends as stopped with
// genuine groups instead of ending the process. This executable replaces
// the global operator new, so that any one allocation can be made to fail.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <set>

#include "engine/analysis_run.h"
#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/group_list.h"
#include "results/new_groups.h"
#include "tests/support/engine_reset.h"
#include "tests/support/temp_tree.h"

namespace {

// Counts every allocation on every thread; while armed, the one the
// countdown reaches throws.
struct FailingAllocator {
    std::atomic<long> allocations{0};
    std::atomic<long> countdown{0};
    std::atomic<bool> fired{false};
};

FailingAllocator g_allocator;

}  // namespace

void* operator new(std::size_t size) {
    g_allocator.allocations.fetch_add(1, std::memory_order_relaxed);
    if (g_allocator.countdown.load(std::memory_order_relaxed) > 0 && g_allocator.countdown.fetch_sub(1) == 1) {
        g_allocator.fired.store(true);
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

// The blocks come from malloc above, whatever the compiler assumes of new.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
#pragma GCC diagnostic pop

namespace {

struct Outcome {
    int32_t cancelCode = -1;
    size_t groups = 0;
};

// Allocates nothing of its own: only the hand-over, as the window's does.
AnalysisView CountingView(Outcome& outcome) {
    AnalysisView view;
    view.clearResults = [] {};
    view.addNewGroups = [](int32_t& cursor, bool) { CollectNewGroups(cursor); };
    view.setProgress = [](unsigned) {};
    view.switchRunMenu = [](bool) {};
    view.closeProgress = [] {};
    view.reportOutcome = [&outcome](int32_t code, double, const char*) { outcome.cancelCode = code; };
    return view;
}

// Runs the whole analysis with allocation `failing` (1 for the first, 0 for
// none) made to fail.
Outcome RunFailingAt(const std::string& folder, long failing) {
    ResetEngine();
    Outcome outcome;
    const AnalysisView view = CountingView(outcome);
    EXPECT_TRUE(BeginAnalysis());
    g_allocator.fired.store(false);
    g_allocator.countdown.store(failing);
    AnalysisCoordinator(folder, view);
    g_allocator.countdown.store(0);
    EXPECT_FALSE(g_analysis.running.load());
    outcome.groups = GroupCount();
    for (size_t g = 0; g < GroupCount(); ++g) {
        const DuplicateGroup group = GroupAt(g);
        EXPECT_GE(group.size(), 2u);
        for (int32_t member : group) EXPECT_EQ(Record(member).size, Record(group.front()).size);
    }
    return outcome;
}

TEST(AllocationFailureTest, EveryFailingAllocationEndsTheRunAsStopped) {
    TempTree tree;
    for (int g = 0; g < 12; ++g) {
        const std::string contents = PatternBytes(static_cast<size_t>(200 + 50 * g), static_cast<unsigned>(g));
        for (int copy = 0; copy < 2 + g % 3; ++copy)
            tree.File("d" + std::to_string(g % 4) + "/f" + std::to_string(g) + "-" + std::to_string(copy), contents);
        tree.File("unique/u" + std::to_string(g), PatternBytes(static_cast<size_t>(200 + 50 * g), 100u + g));
    }
    const long before = g_allocator.allocations.load();
    const Outcome clean = RunFailingAt(tree.Root(), 0);
    const long allocations = g_allocator.allocations.load() - before;
    ASSERT_EQ(clean.cancelCode, kNoCancel);
    ASSERT_EQ(clean.groups, 12u);

    // Workers allocate in any order, so each number lands somewhere else
    // from run to run; a stride keeps the runs few.
    const long stride = allocations / 150 + 1;
    size_t fired = 0;
    for (long failing = 1; failing <= allocations; failing += stride) {
        const Outcome outcome = RunFailingAt(tree.Root(), failing);
        if (g_allocator.fired.load()) {
            ++fired;
            ASSERT_EQ(outcome.cancelCode, kCancelByUser) << "allocation " << failing << " of " << allocations;
        } else {
            ASSERT_EQ(outcome.cancelCode, kNoCancel) << "allocation " << failing << " of " << allocations;
            ASSERT_EQ(outcome.groups, clean.groups);
        }
    }
    EXPECT_GT(fired, 0u);
    std::printf("%zu of the runs met their failing allocation; a clean run makes %ld\n", fired, allocations);
    ResetEngine();
}

// A hand-over that fails while it builds the labels and paths leaves the
// cursor where it was, so the next hand-over still shows every group.
TEST(AllocationFailureTest, AFailedHandOverLeavesItsGroupsForTheNext) {
    TempTree tree;
    for (int g = 0; g < 4; ++g) {
        for (int copy = 0; copy < 2; ++copy) tree.File("g" + std::to_string(g) + "-" + std::to_string(copy), PatternBytes(300 + g, g));
    }
    ASSERT_EQ(RunFailingAt(tree.Root(), 0).groups, 4u);
    const long before = g_allocator.allocations.load();
    int32_t cursor = 0;
    CollectNewGroups(cursor);
    const long allocations = g_allocator.allocations.load() - before;
    for (long failing = 1; failing <= allocations; ++failing) {
        cursor = 0;
        size_t shown = 0;
        g_allocator.countdown.store(failing);
        try {
            shown = CollectNewGroups(cursor).size();
        } catch (const std::bad_alloc&) {
        }
        g_allocator.countdown.store(0);
        EXPECT_EQ(shown + CollectNewGroups(cursor).size(), 4u) << "allocation " << failing << " of " << allocations;
    }
    ResetEngine();
}

}  // namespace
