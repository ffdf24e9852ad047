#include "engine/analysis_window.h"

#include <commctrl.h>

#include <atomic>
#include <memory>
#include <string>

#include "engine/analysis_run.h"
#include "engine/analysis_state.h"
#include "resources/texts.h"
#include "results/results_tree.h"
#include "shell/analysis_folder.h"
#include "shell/resource.h"

namespace {

// Asks the progress dialog to destroy itself on the thread that owns it.
constexpr UINT kDestroyProgressMessage = WM_APP + 2;

struct ProgressDialogState {
    std::atomic<HWND> dialog{nullptr};  // never names a destroyed window
};

ProgressDialogState g_progress;

struct CoordinatorStart {
    HWND mainWindow;
    std::string folder;  // as it stood when the run started
};

void SwitchRunMenu(HWND mainWindow, bool running) {
    HMENU analysisMenu = GetSubMenu(GetMenu(mainWindow), ANALYSIS_MENU_POSITION);
    EnableMenuItem(analysisMenu, IDM_RUN_ANALYSIS, MF_BYCOMMAND | (running ? MF_GRAYED : MF_ENABLED));
    EnableMenuItem(analysisMenu, IDM_STOP_ANALYSIS, MF_BYCOMMAND | (running ? MF_ENABLED : MF_GRAYED));
}

// The coordinator reaches the windows only through sent messages and calls
// the system carries out on the user-interface thread.
AnalysisView WindowView(HWND mainWindow) {
    AnalysisView view;
    view.clearResults = [] { ClearResultsTree(); };
    view.addNewGroups = [](int32_t& cursor) { AddNewGroupsToTree(cursor); };
    view.setProgress = [](unsigned percent) { SetProgress(percent); };
    view.switchRunMenu = [mainWindow](bool running) { SwitchRunMenu(mainWindow, running); };
    view.closeProgress = [] { CloseProgressDialog(); };
    view.reportOutcome = [mainWindow](int32_t, double, const std::string& text) {
        MessageBoxA(mainWindow, text.c_str(), kTextProcessingFinished, MB_OK);
    };
    return view;
}

DWORD WINAPI CoordinatorThread(void* parameter) {
    std::unique_ptr<CoordinatorStart> start(static_cast<CoordinatorStart*>(parameter));
    AnalysisCoordinator(start->folder, WindowView(start->mainWindow));
    return 0;
}

void OnStopButton(HWND dialog) {
    if (MessageBoxA(dialog, kTextConfirmStopSearch, kTextConfirmation, MB_YESNO) != IDYES) return;
    RequestStop();
    EndDialog(dialog, 0);
}

}  // namespace

void StartAnalysis(HWND mainWindow) {
    if (!BeginAnalysis()) return;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), mainWindow, ProgressDialogProc, 0);
    ShowWindow(dialog, SW_SHOW);

    auto* start = new CoordinatorStart{mainWindow, g_analysisFolder.folder};
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, CoordinatorThread, start, 0, &threadId);
    if (!thread) {
        delete start;
        CloseProgressDialog();
        g_analysis.running.store(false);
        return;
    }
    SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
    // Nobody waits on the coordinator.
    CloseHandle(thread);
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        g_progress.dialog.store(dialog);
        break;
    case WM_DESTROY:
        g_progress.dialog.store(nullptr);
        break;
    case kDestroyProgressMessage:
        DestroyWindow(dialog);
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);  // the run goes on
        if (LOWORD(wParam) == IDC_STOP_BUTTON) OnStopButton(dialog);
        break;
    }
    return FALSE;
}

void SetProgress(unsigned percent) {
    HWND dialog = g_progress.dialog.load();
    if (dialog) SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, percent, 0);
}

void CloseProgressDialog() {
    // A modeless dialog only hides on EndDialog; it is destroyed here, on its
    // own thread, so that it does not outlive the run.
    HWND dialog = g_progress.dialog.load();
    if (dialog) SendMessageA(dialog, kDestroyProgressMessage, 0, 0);
}
