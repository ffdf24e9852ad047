#include "engine/analysis_window.h"

#include <commctrl.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "engine/analysis_state.h"
#include "platform/message_box.h"
#include "resources/resource.h"
#include "resources/texts.h"

namespace {

// Asks the progress dialog to destroy itself on the thread that owns it.
constexpr UINT kDestroyProgressMessage = WM_APP + 2;

struct ProgressDialogState {
    std::atomic<HWND> dialog{nullptr};  // never names a destroyed window
    // The position last sent: the coordinator asks ten times a second, and a
    // message to another thread costs a round trip through the window
    // system even when the bar does not move.
    std::atomic<unsigned> shownPercent{0};
};

ProgressDialogState g_progress;

struct CoordinatorStart {
    std::string folder;  // as it stood when the run started
    AnalysisView view;
    AnalysisFilter filter;
};

DWORD WINAPI CoordinatorThread(void* parameter) {
    std::unique_ptr<CoordinatorStart> start(static_cast<CoordinatorStart*>(parameter));
    AnalysisCoordinator(start->folder, start->view, start->filter);
    return 0;
}

void OnStopButton(HWND dialog) {
    if (ShowMessageBox(dialog, kTextConfirmStopSearch, kTextConfirmation, MB_YESNO) != IDYES) return;
    RequestStop();
    EndDialog(dialog, 0);
}

}  // namespace

void StartAnalysis(HWND mainWindow, const std::string& folder, AnalysisView view, const AnalysisFilter& filter) {
    if (!BeginAnalysis()) return;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(mainWindow, GWLP_HINSTANCE));
    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_PROGRESS), mainWindow, ProgressDialogProc, 0);
    ShowWindow(dialog, SW_SHOW);

    auto* start = new CoordinatorStart{folder, std::move(view), filter};
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, CoordinatorThread, start, 0, &threadId);
    if (!thread) {
        delete start;
        CloseProgressDialog();
        EndAnalysis();
        return;
    }
    SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
    // Nobody waits on the coordinator.
    CloseHandle(thread);
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        g_progress.shownPercent.store(0);
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
    if (!dialog || g_progress.shownPercent.exchange(percent) == percent) return;
    SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, percent, 0);
}

void CloseProgressDialog() {
    // A modeless dialog only hides on EndDialog; it is destroyed here, on its
    // own thread, so that it does not outlive the run.
    HWND dialog = g_progress.dialog.load();
    if (dialog) SendMessageW(dialog, kDestroyProgressMessage, 0, 0);
}
