#include "engine/analysis_state.h"

AnalysisState g_analysis;

bool BeginAnalysis() {
    bool wasRunning = false;
    if (!g_analysis.running.compare_exchange_strong(wasRunning, true)) return false;
    g_analysis.cancelCode.store(kNoCancel);
    return true;
}

void RequestStop() { g_analysis.cancelCode.store(kCancelByUser); }

bool QueryCloseDuringAnalysis() {
    if (!g_analysis.running.load()) return true;
    g_analysis.cancelCode.store(kCancelByClose);
    return false;
}
