#include "shell/analysis_view.h"

#include <string>

#include "engine/analysis_window.h"
#include "platform/message_box.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "results/results_tree.h"
#include "shell/results_menu.h"

namespace {

void SwitchRunMenu(HWND mainWindow, bool running) {
    HMENU analysisMenu = GetSubMenu(GetMenu(mainWindow), ANALYSIS_MENU_POSITION);
    EnableMenuItem(analysisMenu, IDM_RUN_ANALYSIS, MF_BYCOMMAND | (running ? MF_GRAYED : MF_ENABLED));
    EnableMenuItem(analysisMenu, IDM_STOP_ANALYSIS, MF_BYCOMMAND | (running ? MF_ENABLED : MF_GRAYED));
    UpdateResultsMenu(mainWindow);
}

}  // namespace

AnalysisView MainWindowAnalysisView(HWND mainWindow) {
    AnalysisView view;
    view.clearResults = [] { ClearResultsTree(); };
    view.addNewGroups = [](int32_t& cursor, bool last) { AddNewGroupsToTree(cursor, last); };
    view.setProgress = [](unsigned percent) { SetProgress(percent); };
    view.switchRunMenu = [mainWindow](bool running) { SwitchRunMenu(mainWindow, running); };
    view.closeProgress = [] { CloseProgressDialog(); };
    view.reportOutcome = [mainWindow](int32_t, double, const char* text) {
        ShowMessageBox(mainWindow, text, kTextProcessingFinished, MB_OK);
    };
    return view;
}
