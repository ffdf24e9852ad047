// One analysis run: the coordinator that scans, splits the size table among
// ten workers, hands new groups to the front end every 100 ms and reports
// the outcome. The front end (window, command line, tests) plugs in through
// AnalysisView and never sees a worker.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "engine/analysis_filter.h"

constexpr int kWorkerCount = 10;

struct BucketRange {
    size_t first = 0;
    size_t end = 0;
};

// Worker k's contiguous range: k·n/10 up to (k+1)·n/10, rounding down.
BucketRange WorkerBucketRange(int worker, size_t bucketCount);

struct WorkerSlot {
    std::thread thread;
    BucketRange range;
    std::atomic<int32_t> finished{0};  // set by the worker as its last action
};

// What the coordinator asks of the front end. Every call comes from the
// coordinator thread; a window front end carries each out on its own thread.
struct AnalysisView {
    std::function<void()> clearResults;
    // Show the groups from `cursor` to the end of the group list, then move
    // the cursor to that end. A front end may let a hand-over pass and take
    // its groups with the next one, except the last of the run (`last`,
    // after every worker finished), which must show them all.
    std::function<void(int32_t& cursor, bool last)> addNewGroups;
    std::function<void(unsigned percent)> setProgress;
    std::function<void(bool running)> switchRunMenu;
    std::function<void()> closeProgress;
    std::function<void(int32_t cancelCode, double seconds, const char* text)> reportOutcome;
};

// The coordinator's whole body. The caller has started the run with
// BeginAnalysis(); the run ends with running false and the outcome reported.
void AnalysisCoordinator(const std::string& folder, const AnalysisView& view,
                         const AnalysisFilter& filter = AnalysisFilter());

// processed × 100 / records, without overflow for any number of files.
unsigned ProgressPercent(uint64_t processed, uint64_t records);

// The final message for a cancel code and the elapsed seconds, formed
// without allocating: a run may end for want of memory.
constexpr size_t kOutcomeTextBytes = 128;
void FormatAnalysisOutcome(int32_t cancelCode, double seconds, char (&text)[kOutcomeTextBytes]);
