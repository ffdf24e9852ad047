#include "shell/command_dispatch.h"

#include "engine/analysis_state.h"
#include "engine/analysis_window.h"
#include "platform/message_box.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "results/file_info_window.h"
#include "results/preview_state.h"
#include "shell/analysis_filter_dialog.h"
#include "shell/analysis_folder.h"
#include "shell/analysis_view.h"
#include "shell/bulk_recycle.h"
#include "shell/file_actions.h"
#include "shell/file_opening.h"
#include "shell/results_export.h"
#include "shell/settings.h"

namespace {

void ShowVersion(HWND mainWindow) { ShowMessageBox(mainWindow, kTextVersion, kTextShowVersion, MB_OK); }

// A new run starts with empty details, so the file-information window does
// not describe a file of the previous results. Without a chosen folder the
// menu item is grayed; a command sent all the same does nothing.
void RunAnalysis(HWND mainWindow) {
    if (g_analysisFolder.folder.empty()) return;
    g_preview.detailsText.clear();
    RefreshFileInfoWindow();
    StartAnalysis(mainWindow, g_analysisFolder.folder, MainWindowAnalysisView(mainWindow), g_settings.analysisFilter);
}

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
        RunAnalysis(mainWindow);
        break;
    case IDM_STOP_ANALYSIS:
        RequestStop();
        break;
    case IDM_RECYCLE_FILE:
        RecycleSelectedFile(mainWindow);
        break;
    case IDM_SETTINGS:
        OpenSettingsDialog(mainWindow);
        break;
    case IDM_FILE_INFO:
        OpenFileInfoWindow(mainWindow);
        break;
    case IDM_MOVE_FILE:
        MoveSelectedFile(mainWindow);
        break;
    case IDM_KEEP_THIS_RECYCLE_OTHERS:
        KeepSelectedRecycleOthers(mainWindow);
        break;
    case IDM_RECYCLE_ALL_DUPLICATES:
        RecycleAllDuplicates(mainWindow);
        break;
    case IDM_SAVE_RESULTS_CSV:
        SaveResultsAsCsv(mainWindow);
        break;
    case IDM_ANALYSIS_FILTER:
        OpenAnalysisFilterDialog(mainWindow);
        break;
    case IDM_OPEN_FILE:
        OpenSelectedFile(mainWindow);
        break;
    case IDM_OPEN_CONTAINING_FOLDER:
        OpenSelectedFileFolder(mainWindow);
        break;
    case IDM_KEEP_NEWEST_RECYCLE_OTHERS:
        KeepNewestRecycleOthers(mainWindow);
        break;
    case IDM_KEEP_OLDEST_RECYCLE_OTHERS:
        KeepOldestRecycleOthers(mainWindow);
        break;
    case IDM_KEEP_IN_FOLDER_RECYCLE_OTHERS:
        KeepInFolderRecycleOthers(mainWindow);
        break;
    default:
        break;
    }
}
