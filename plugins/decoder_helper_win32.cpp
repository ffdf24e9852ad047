#include "plugins/decoder_helper.h"

#include <psapi.h>

#include <algorithm>

#include "platform/module_path.h"
#include "plugins/decoder_protocol.h"

DecoderHelper g_decoderHelper;

namespace {

constexpr wchar_t kHelperProgram[] = L"tovrik-decode.exe";
// While Tovrik waits, it looks at the helper's memory this often.
constexpr DWORD kMemoryCheckMs = 50;
constexpr UINT kEndedByTovrik = 0xE0D;

using Deadline = ULONGLONG;

Deadline DeadlineAfter(DWORD milliseconds) { return GetTickCount64() + milliseconds; }

// The job limit holds the helper's commit charge on Windows. Wine enforces
// no job limit and reports another process's resident pages (as its
// pagefile usage) rather than its commit charge, so the larger of the two
// is watched here as well.
bool HelperWithinMemoryLimit() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(g_decoderHelper.process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters)) {
        return true;
    }
    return std::max<uint64_t>(counters.PrivateUsage, counters.PagefileUsage) <= kHelperMemoryLimit;
}

// Waits until the overlapped operation on the pipe has finished, as long as
// the deadline has not passed, the helper lives and keeps within its memory.
bool FinishTransfer(OVERLAPPED& overlapped, Deadline deadline, DWORD& transferred) {
    HANDLE pipe = g_decoderHelper.pipe.get();
    // The operation's own event comes first: a reply written just before
    // the helper died still counts.
    const HANDLE events[2] = {g_decoderHelper.ioDone.get(), g_decoderHelper.process.get()};
    for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
        const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kMemoryCheckMs));
        const DWORD woke = WaitForMultipleObjects(2, events, FALSE, slice);
        if (woke == WAIT_OBJECT_0) return GetOverlappedResult(pipe, &overlapped, &transferred, FALSE) != FALSE;
        if (woke != WAIT_TIMEOUT || !HelperWithinMemoryLimit()) break;
    }
    // The operation must be over before its OVERLAPPED goes.
    CancelIoEx(pipe, &overlapped);
    GetOverlappedResult(pipe, &overlapped, &transferred, TRUE);
    return false;
}

bool Transfer(bool writing, char* bytes, DWORD size, Deadline deadline) {
    HANDLE pipe = g_decoderHelper.pipe.get();
    while (size > 0) {
        OVERLAPPED overlapped = {};
        overlapped.hEvent = g_decoderHelper.ioDone.get();
        DWORD done = 0;
        const BOOL finished = writing ? WriteFile(pipe, bytes, size, nullptr, &overlapped)
                                      : ReadFile(pipe, bytes, size, nullptr, &overlapped);
        if (finished) {
            GetOverlappedResult(pipe, &overlapped, &done, FALSE);
        } else if (GetLastError() != ERROR_IO_PENDING || !FinishTransfer(overlapped, deadline, done)) {
            return false;
        }
        if (done == 0) return false;
        bytes += done;
        size -= done;
    }
    return true;
}

UniqueHandle LimitedJob() {
    UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE |
                                              JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION |
                                              JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    limits.ProcessMemoryLimit = static_cast<SIZE_T>(kHelperMemoryLimit);
    if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) job.reset();
    return job;
}

bool ConnectHelper() {
    OVERLAPPED overlapped = {};
    overlapped.hEvent = g_decoderHelper.ioDone.get();
    if (ConnectNamedPipe(g_decoderHelper.pipe.get(), &overlapped)) return true;
    switch (GetLastError()) {
    case ERROR_PIPE_CONNECTED:
        return true;
    case ERROR_IO_PENDING: {
        DWORD unused = 0;
        return FinishTransfer(overlapped, DeadlineAfter(kHelperStartWaitMs), unused);
    }
    default:
        return false;
    }
}

bool StartHelper() {
    const std::wstring folder = ExecutableFolderWide();
    if (folder.empty()) return false;
    const std::wstring program = folder + kHelperProgram;
    const std::wstring pipeName = L"\\\\.\\pipe\\tovrik-decode-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(++g_decoderHelper.started);
    // One instance, created here first and local only: no other process can
    // stand in for the helper.
    g_decoderHelper.pipe = AdoptFileHandle(CreateNamedPipeW(
        pipeName.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 65536, 65536, 0, nullptr));
    g_decoderHelper.ioDone.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!g_decoderHelper.pipe || !g_decoderHelper.ioDone) return false;

    std::wstring commandLine = L"\"" + program + L"\" " + pipeName;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    // The helper never shows a window: no busy cursor while it starts.
    startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
    PROCESS_INFORMATION started = {};
    // Suspended until it is in its job, so that no plug-in runs unlimited;
    // no handle is inherited.
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED | CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &started)) {
        return false;
    }
    g_decoderHelper.process.reset(started.hProcess);
    UniqueHandle thread(started.hThread);
    // Where the system refuses a job inside Tovrik's own, the helper runs
    // without one: it still ends with its pipe, and its memory is watched.
    g_decoderHelper.job = LimitedJob();
    if (g_decoderHelper.job && !AssignProcessToJobObject(g_decoderHelper.job.get(), started.hProcess))
        g_decoderHelper.job.reset();
    ResumeThread(thread.get());
    return ConnectHelper();
}

}  // namespace

bool AskDecoderHelper(const std::string& request, DWORD waitMs, std::string& reply) {
    if (!g_decoderHelper.process && !StartHelper()) {
        EndDecoderHelper();
        return false;
    }
    const Deadline deadline = DeadlineAfter(waitMs);
    std::string frame = Frame(request);
    char header[4];
    uint32_t length = 0;
    if (!Transfer(true, &frame[0], static_cast<DWORD>(frame.size()), deadline) ||
        !Transfer(false, header, sizeof header, deadline) ||
        !FramePayloadLength(reinterpret_cast<const unsigned char*>(header), length)) {
        EndDecoderHelper();
        return false;
    }
    reply.assign(length, '\0');
    if (length > 0 && !Transfer(false, &reply[0], length, deadline)) {
        EndDecoderHelper();
        return false;
    }
    return true;
}

UniqueHandle TakeHandleFromDecoderHelper(uint32_t helperHandle) {
    if (!g_decoderHelper.process || helperHandle == 0) return nullptr;
    HANDLE taken = nullptr;
    if (!DuplicateHandle(g_decoderHelper.process.get(), reinterpret_cast<HANDLE>(static_cast<uintptr_t>(helperHandle)),
                         GetCurrentProcess(), &taken, 0, FALSE, DUPLICATE_SAME_ACCESS | DUPLICATE_CLOSE_SOURCE)) {
        return nullptr;
    }
    return UniqueHandle(taken);
}

void EndDecoderHelper() {
    if (g_decoderHelper.job) {
        TerminateJobObject(g_decoderHelper.job.get(), kEndedByTovrik);
    } else if (g_decoderHelper.process) {
        TerminateProcess(g_decoderHelper.process.get(), kEndedByTovrik);
    }
    // Its memory is given back before another helper starts.
    if (g_decoderHelper.process) WaitForSingleObject(g_decoderHelper.process.get(), 2000);
    g_decoderHelper.pipe.reset();
    g_decoderHelper.process.reset();
    g_decoderHelper.job.reset();
    g_decoderHelper.ioDone.reset();
}
