#include "shell/command_dispatch.h"

#include "engine/analysis_state.h"
#include "engine/analysis_window.h"
#include "resources/texts.h"
#include "shell/analysis_folder.h"
#include "shell/resource.h"

namespace {

void ShowVersion(HWND mainWindow) { MessageBoxA(mainWindow, kTextVersion, kTextShowVersion, MB_OK); }

}  // namespace

void DispatchCommand(HWND mainWindow, int commandId) {
    switch (commandId) {
    case IDM_SHOW_VERSION:
        ShowVersion(mainWindow);
        break;
    case IDM_SELECT_FOLDER:
        SelectAnalysisFolder(mainWindow);
        break;
    case IDM_RUN_ANALYSIS:
        StartAnalysis(mainWindow);
        break;
    case IDM_STOP_ANALYSIS:
        RequestStop();
        break;
    default:
        // The file actions, settings and file information arrive with
        // their own windows; any other id does nothing.
        break;
    }
}
