// What the user-interface thread, the coordinator and the ten workers of an
// analysis run share: atomic values, and one lock that only joins a run's
// start and end with the close check.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

enum CancelCode : int32_t {
    kNoCancel = 0,
    kCancelByUser = 1,
    kCancelByClose = 2,  // the user asked to close the main window
};

struct AnalysisState {
    std::atomic<int32_t> cancelCode{kNoCancel};
    std::atomic<bool> running{false};
    std::atomic<uint32_t> processed{0};  // records handled by the grouping
    // Held for a few stores and loads, never while anything is waited for.
    std::mutex runLock;
};

extern AnalysisState g_analysis;

// Checked at every loop head of the scan and the grouping.
inline bool StopRequested() { return g_analysis.cancelCode.load(std::memory_order_relaxed) != kNoCancel; }

// Marks a run as started: cancel code 0, running true. Refuses (false) while
// a run is in progress, whatever the menu shows.
bool BeginAnalysis();

// Stop asked by the user (menu, progress dialog, Ctrl+C). Async-signal-safe.
void RequestStop();

// A run that cannot go on (no memory left, no thread to be had) ends as if
// the user had stopped it, with the groups found so far; a stop asked
// already keeps its code.
void StopAfterFailure();

// The main window's close check: true when no run is in progress; during a
// run, asks it to stop with code 2 and refuses the close.
bool QueryCloseDuringAnalysis();

// Ends the run: running false, and the cancel code its outcome reports, in
// one step with the close check, so that a close refused during the run
// always finds its code in the outcome.
int32_t EndAnalysis();
