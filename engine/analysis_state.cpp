#include "engine/analysis_state.h"

AnalysisState g_analysis;

bool BeginAnalysis() {
    std::lock_guard<std::mutex> guard(g_analysis.runLock);
    if (g_analysis.running.load()) return false;
    g_analysis.cancelCode.store(kNoCancel);
    g_analysis.running.store(true);
    return true;
}

void RequestStop() { g_analysis.cancelCode.store(kCancelByUser); }

void StopAfterFailure() {
    int32_t none = kNoCancel;
    g_analysis.cancelCode.compare_exchange_strong(none, kCancelByUser);
}

bool QueryCloseDuringAnalysis() {
    std::lock_guard<std::mutex> guard(g_analysis.runLock);
    if (!g_analysis.running.load()) return true;
    g_analysis.cancelCode.store(kCancelByClose);
    return false;
}

int32_t EndAnalysis() {
    std::lock_guard<std::mutex> guard(g_analysis.runLock);
    g_analysis.running.store(false);
    return g_analysis.cancelCode.load();
}
