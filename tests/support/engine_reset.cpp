#include "tests/support/engine_reset.h"

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/group_list.h"

void ResetEngine() {
    ClearCatalogue();
    ClearGroupList();
    g_analysis.cancelCode.store(kNoCancel);
    g_analysis.running.store(false);
    g_analysis.processed.store(0);
}
