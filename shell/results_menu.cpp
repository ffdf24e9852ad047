#include "shell/results_menu.h"

#include "engine/analysis_state.h"
#include "resources/resource.h"
#include "results/results_store.h"

void UpdateResultsMenu(HWND mainWindow) {
    const bool usable = !g_analysis.running.load() && g_resultsStore.HasGroups();
    HMENU fileMenu = GetSubMenu(GetMenu(mainWindow), FILE_MENU_POSITION);
    const UINT state = MF_BYCOMMAND | (usable ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(fileMenu, IDM_RECYCLE_ALL_DUPLICATES, state);
    EnableMenuItem(fileMenu, IDM_KEEP_NEWEST_RECYCLE_OTHERS, state);
    EnableMenuItem(fileMenu, IDM_KEEP_OLDEST_RECYCLE_OTHERS, state);
    EnableMenuItem(fileMenu, IDM_SAVE_RESULTS_CSV, state);
}
