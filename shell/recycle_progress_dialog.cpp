#include "shell/recycle_progress_dialog.h"

#include <commctrl.h>

#include <atomic>
#include <functional>
#include <system_error>
#include <thread>

#include "resources/resource.h"

namespace {

constexpr UINT kProofProgressMessage = WM_APP + 3;  // wParam: percent done
constexpr UINT kProofDoneMessage = WM_APP + 4;
constexpr UINT_PTR kShowTimer = 1;
constexpr UINT kShowDelayMilliseconds = 300;

struct ProofJob {
    const std::vector<PresentedGroup>* groups = nullptr;
    const std::vector<RecycleBatch>* batches = nullptr;
    RecycleProof proof;
    std::thread worker;
    bool started = false;
};

// One check at a time: the dialog is modal to the main window.
struct RecycleProgressState {
    std::atomic<bool> stop{false};
};

RecycleProgressState g_recycleProgress;

bool ProofStopRequested() { return g_recycleProgress.stop.load(std::memory_order_relaxed); }

void RunProof(HWND dialog, ProofJob& job) {
    unsigned shownPercent = 0;
    job.proof = ProveDuplicates(
        *job.groups, *job.batches,
        [dialog, &shownPercent](size_t done, size_t planned) {
            const unsigned percent = planned ? static_cast<unsigned>(uint64_t{done} * 100 / planned) : 100;
            if (percent == shownPercent) return;
            shownPercent = percent;
            PostMessageW(dialog, kProofProgressMessage, percent, 0);
        },
        ProofStopRequested);
    PostMessageW(dialog, kProofDoneMessage, 0, 0);
}

void OnInitDialog(HWND dialog, ProofJob* job) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(job));
    SetTimer(dialog, kShowTimer, kShowDelayMilliseconds, nullptr);
    try {
        job->worker = std::thread(RunProof, dialog, std::ref(*job));
        job->started = true;
    } catch (const std::system_error&) {
        // No thread to spare: the caller checks on its own thread instead.
        KillTimer(dialog, kShowTimer);
        EndDialog(dialog, -1);
    }
}

void OnProofDone(HWND dialog) {
    auto* job = reinterpret_cast<ProofJob*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (job->worker.joinable()) job->worker.join();
    KillTimer(dialog, kShowTimer);
    EndDialog(dialog, 0);
}

INT_PTR CALLBACK RecycleProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, reinterpret_cast<ProofJob*>(lParam));
        return TRUE;
    case WM_TIMER:
        if (wParam == kShowTimer) {
            KillTimer(dialog, kShowTimer);
            ShowWindow(dialog, SW_SHOW);
        }
        return TRUE;
    case kProofProgressMessage:
        SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, wParam, 0);
        return TRUE;
    case kProofDoneMessage:
        OnProofDone(dialog);
        return TRUE;
    case WM_COMMAND:
        // The worker ends at its next file or chunk and then closes the dialog.
        if (LOWORD(wParam) == IDC_STOP_BUTTON || LOWORD(wParam) == IDCANCEL) g_recycleProgress.stop.store(true);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

RecycleProof ProveWithProgress(HWND owner, const std::vector<PresentedGroup>& groups,
                               const std::vector<RecycleBatch>& batches) {
    g_recycleProgress.stop.store(false);
    ProofJob job;
    job.groups = &groups;
    job.batches = &batches;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_RECYCLE_PROGRESS), owner,
                                          RecycleProgressDialogProc, reinterpret_cast<LPARAM>(&job));
    if (job.worker.joinable()) job.worker.join();
    // Without a dialog the check still runs, on this thread.
    if (result == -1 && !job.started) job.proof = ProveDuplicates(groups, batches, [](size_t, size_t) {}, ProofStopRequested);
    return std::move(job.proof);
}
