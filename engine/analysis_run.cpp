#include "engine/analysis_run.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/folder_scan.h"
#include "engine/group_buckets.h"
#include "engine/group_list.h"
#include "engine/shared_bucket_ranges.h"
#include "engine/thread_priority.h"
#include "resources/texts.h"

namespace {

constexpr std::chrono::milliseconds kPollInterval(100);

// A step that runs out of memory or threads (a huge tree in a 32-bit
// process) stops the run instead of ending the process.
template <typename Step>
void RunOrStop(Step step) {
    try {
        step();
    } catch (const std::exception&) {
        StopAfterFailure();
    }
}

// The ten workers of one run, each owning its range of buckets. The last
// worker to finish wakes the coordinator at once, so a run does not cost a
// whole poll interval more than its work; otherwise the coordinator wakes
// every 100 ms for progress.
struct WorkerCrew {
    WorkerSlot slots[kWorkerCount];
    SharedBucketRange ranges[kWorkerCount];
    std::mutex wakeLock;
    std::condition_variable wake;

    bool AllFinished() const {
        for (const WorkerSlot& slot : slots) {
            if (slot.finished.load(std::memory_order_acquire) == 0) return false;
        }
        return true;
    }

    void Start() {
        const size_t bucketCount = BucketCount();
        // Every range is set before any worker starts: a worker that is
        // quickly done looks at all of them.
        for (int k = 0; k < kWorkerCount; ++k) {
            slots[k].range = WorkerBucketRange(k, bucketCount);
            ranges[k].Reset(slots[k].range.first, slots[k].range.end);
        }
        for (int k = 0; k < kWorkerCount; ++k) {
            WorkerSlot& slot = slots[k];
            try {
                slot.thread = std::thread([this, &slot, k] { Work(slot, k); });
            } catch (const std::exception&) {
                // The workers started stop at their next record; those that
                // never started have nothing to finish.
                StopAfterFailure();
                for (int rest = k; rest < kWorkerCount; ++rest) slots[rest].finished.store(1);
                return;
            }
        }
    }

    void Work(WorkerSlot& slot, int k) {
        RaiseCurrentThreadPriority();
        // A worker done with its own range takes whole buckets off the back
        // of busier ranges; their owners still append.
        RunOrStop([this, k] {
            if (GroupOwnRange(ranges[k], GroupOneBucket)) HelpOtherRanges(ranges, kWorkerCount, GroupOneBucket);
        });
        {
            std::lock_guard<std::mutex> guard(wakeLock);
            slot.finished.store(1, std::memory_order_release);
        }
        wake.notify_one();
    }

    // Waits up to one poll interval; true when every worker has finished.
    bool WaitOnePoll() {
        std::unique_lock<std::mutex> guard(wakeLock);
        return wake.wait_for(guard, kPollInterval, [this] { return AllFinished(); });
    }

    // Each worker has set its finished flag as its last action, so this only
    // reclaims threads that are ending anyway.
    void Reclaim() {
        for (WorkerSlot& slot : slots) {
            if (slot.thread.joinable()) slot.thread.join();
        }
    }
};

}  // namespace

BucketRange WorkerBucketRange(int worker, size_t bucketCount) {
    const uint64_t n = bucketCount;
    return BucketRange{static_cast<size_t>(worker * n / kWorkerCount),
                       static_cast<size_t>((worker + 1) * n / kWorkerCount)};
}

unsigned ProgressPercent(uint64_t processed, uint64_t records) {
    if (records == 0) return 0;
    // Below 2^57 records the product cannot overflow 64 bits.
    return static_cast<unsigned>(processed * 100 / records);
}

void FormatAnalysisOutcome(int32_t cancelCode, double seconds, char (&text)[kOutcomeTextBytes]) {
    if (cancelCode == kCancelByUser) {
        std::snprintf(text, sizeof text, "%s", kTextAnalysisStopped);
    } else if (cancelCode == kCancelByClose) {
        std::snprintf(text, sizeof text, "%s", kTextAnalysisStoppedPressCloseAgain);
    } else {
        std::snprintf(text, sizeof text, kTextAnalysisTookSeconds, seconds);
    }
}

void AnalysisCoordinator(const std::string& folder, const AnalysisView& view, const AnalysisFilter& filter) {
    const auto startTime = std::chrono::steady_clock::now();

    g_analysis.processed.store(0);
    ClearCatalogue();
    ClearGroupList();
    view.clearResults();
    view.switchRunMenu(true);

    RunOrStop([&folder, &filter] { ScanFolder(folder, filter); });

    std::unique_ptr<WorkerCrew> crew;
    RunOrStop([&crew] { crew = std::make_unique<WorkerCrew>(); });
    if (crew) {
        crew->Start();
        int32_t groupCursor = 0;
        for (;;) {
            // Read before the hand-over, so the last hand-over comes after
            // every worker's last append and every group reaches the front
            // end. A hand-over that fails leaves the cursor for the next.
            const bool allFinished = crew->WaitOnePoll();
            RunOrStop([&view, &groupCursor, allFinished] { view.addNewGroups(groupCursor, allFinished); });
            if (allFinished) break;
            if (RecordCount() > 0) view.setProgress(ProgressPercent(g_analysis.processed.load(), RecordCount()));
        }
        crew->Reclaim();
    }

    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - startTime;
    const int32_t cancelCode = EndAnalysis();
    view.closeProgress();
    view.switchRunMenu(false);
    char outcome[kOutcomeTextBytes];
    FormatAnalysisOutcome(cancelCode, elapsed.count(), outcome);
    view.reportOutcome(cancelCode, elapsed.count(), outcome);
}
