#include "shell/recycle_progress_dialog.h"

#include <commctrl.h>

#include <atomic>
#include <functional>
#include <system_error>
#include <thread>

#include "resources/resource.h"
#include "shell/recycle_bin.h"

namespace {

constexpr UINT kRecycleProgressMessage = WM_APP + 3;  // wParam: percent done
constexpr UINT kRecycleDoneMessage = WM_APP + 4;
constexpr UINT kBatchRecycledMessage = WM_APP + 5;  // lParam: const RecycledFiles*
constexpr UINT_PTR kShowTimer = 1;
constexpr UINT kShowDelayMilliseconds = 300;

struct RecycleJob {
    const std::vector<PresentedGroup>* groups = nullptr;
    const std::vector<PlannedGroup>* plan = nullptr;
    const std::function<void(const RecycledFiles&)>* onRecycled = nullptr;
    BulkRecycleOutcome outcome;
    std::thread worker;
    bool started = false;
};

// One check at a time: the dialog is modal to the main window.
struct RecycleProgressState {
    std::atomic<bool> stop{false};
};

RecycleProgressState g_recycleProgress;

bool RecycleStopRequested() { return g_recycleProgress.stop.load(std::memory_order_relaxed); }

// The shell's step for one batch: its own progress stays hidden, the
// dialog shows the whole work; its errors and warnings still show. What
// went is told to `tell` at once.
std::vector<bool> RecycleBatch(HWND owner, const std::vector<ProvenDuplicate>& proven,
                               const std::function<void(const RecycledFiles&)>& tell) {
    std::vector<FileToRecycle> files;
    files.reserve(proven.size());
    for (const ProvenDuplicate& file : proven) files.push_back(FileToRecycle{*file.path, file.identity});
    const std::vector<bool> went = RecycleExactFiles(owner, files, ShellProgress::kSilent, RecycleStopRequested);
    RecycledFiles gone;
    for (size_t i = 0; i < proven.size(); ++i) {
        if (went[i]) gone.emplace_back(proven[i].group, proven[i].member);
    }
    if (!gone.empty()) tell(gone);
    return went;
}

BulkRecycleOutcome RunBulkRecycle(HWND owner, const RecycleJob& job, const std::function<void(size_t, size_t)>& progress,
                                  const std::function<void(const RecycledFiles&)>& tell) {
    return RecycleInBatches(
        *job.groups, *job.plan, kRecycleBatchFiles,
        [owner, &tell](const std::vector<ProvenDuplicate>& proven) { return RecycleBatch(owner, proven, tell); },
        progress, RecycleStopRequested);
}

void RunJob(HWND dialog, RecycleJob& job) {
    unsigned shownPercent = 0;
    job.outcome = RunBulkRecycle(
        dialog, job,
        [dialog, &shownPercent](size_t done, size_t planned) {
            const unsigned percent = planned ? static_cast<unsigned>(uint64_t{done} * 100 / planned) : 100;
            if (percent == shownPercent) return;
            shownPercent = percent;
            PostMessageW(dialog, kRecycleProgressMessage, percent, 0);
        },
        // The tree belongs to the dialog's thread, which answers while it waits.
        [dialog](const RecycledFiles& gone) {
            SendMessageW(dialog, kBatchRecycledMessage, 0, reinterpret_cast<LPARAM>(&gone));
        });
    PostMessageW(dialog, kRecycleDoneMessage, 0, 0);
}

void OnInitDialog(HWND dialog, RecycleJob* job) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(job));
    SetTimer(dialog, kShowTimer, kShowDelayMilliseconds, nullptr);
    try {
        job->worker = std::thread(RunJob, dialog, std::ref(*job));
        job->started = true;
    } catch (const std::system_error&) {
        // No thread to spare: the caller checks on its own thread instead.
        KillTimer(dialog, kShowTimer);
        EndDialog(dialog, -1);
    }
}

void OnRecycleDone(HWND dialog) {
    auto* job = reinterpret_cast<RecycleJob*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (job->worker.joinable()) job->worker.join();
    KillTimer(dialog, kShowTimer);
    EndDialog(dialog, 0);
}

void OnBatchRecycled(HWND dialog, const RecycledFiles& gone) {
    const auto* job = reinterpret_cast<const RecycleJob*>(GetWindowLongPtrW(dialog, DWLP_USER));
    (*job->onRecycled)(gone);
}

INT_PTR CALLBACK RecycleProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, reinterpret_cast<RecycleJob*>(lParam));
        return TRUE;
    case WM_TIMER:
        if (wParam == kShowTimer) {
            KillTimer(dialog, kShowTimer);
            ShowWindow(dialog, SW_SHOW);
        }
        return TRUE;
    case kRecycleProgressMessage:
        SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, wParam, 0);
        return TRUE;
    case kRecycleDoneMessage:
        OnRecycleDone(dialog);
        return TRUE;
    case kBatchRecycledMessage:
        OnBatchRecycled(dialog, *reinterpret_cast<const RecycledFiles*>(lParam));
        return TRUE;
    case WM_COMMAND:
        // The worker ends at its next file or chunk and then closes the dialog.
        if (LOWORD(wParam) == IDC_STOP_BUTTON || LOWORD(wParam) == IDCANCEL) g_recycleProgress.stop.store(true);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

BulkRecycleOutcome RecycleWithProgress(HWND owner, const std::vector<PresentedGroup>& groups,
                                       const std::vector<PlannedGroup>& plan,
                                       const std::function<void(const RecycledFiles&)>& onRecycled) {
    g_recycleProgress.stop.store(false);
    RecycleJob job;
    job.groups = &groups;
    job.plan = &plan;
    job.onRecycled = &onRecycled;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_RECYCLE_PROGRESS), owner,
                                          RecycleProgressDialogProc, reinterpret_cast<LPARAM>(&job));
    if (job.worker.joinable()) job.worker.join();
    // Without a dialog the work still runs, on this thread.
    if (result == -1 && !job.started) job.outcome = RunBulkRecycle(owner, job, [](size_t, size_t) {}, onRecycled);
    return std::move(job.outcome);
}
