#include "plugins/decoder_helper.h"

#include <psapi.h>

#include <algorithm>

#include "platform/module_path.h"
#include "plugins/decoder_protocol.h"
#include "plugins/helper_security_win32.h"

DecoderHelper g_decoderHelper;

namespace {

constexpr wchar_t kHelperProgram[] = L"tovrik-decode.exe";
// While Tovrik waits, it looks at the helper's memory this often.
constexpr DWORD kMemoryCheckMs = 50;
constexpr UINT kEndedByTovrik = 0xE0D;

// The job limit holds the helper's commit charge on Windows. Wine enforces
// no job limit and reports another process's resident pages (as its
// pagefile usage) rather than its commit charge, so the larger of the two
// is watched here as well. What a call leaves committed but untouched, which
// Wine's counters miss, the helper reports itself after every call.
bool HelperWithinMemoryLimit(const DecoderHelper& helper) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(helper.process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters)) {
        return true;
    }
    return std::max<uint64_t>(counters.PrivateUsage, counters.PagefileUsage) <= kHelperMemoryLimit;
}

// Waits until the overlapped operation on the pipe has finished, as long as
// the deadline has not passed, the helper lives and keeps within its memory.
bool FinishTransfer(const DecoderHelper& helper, OVERLAPPED& overlapped, HelperDeadline deadline,
                    DWORD& transferred) {
    HANDLE pipe = helper.pipe.get();
    // The operation's own event comes first: a reply written just before
    // the helper died still counts.
    const HANDLE events[2] = {helper.ioDone.get(), helper.process.get()};
    for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
        const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kMemoryCheckMs));
        const DWORD woke = WaitForMultipleObjects(2, events, FALSE, slice);
        if (woke == WAIT_OBJECT_0) return GetOverlappedResult(pipe, &overlapped, &transferred, FALSE) != FALSE;
        if (woke != WAIT_TIMEOUT || !HelperWithinMemoryLimit(helper)) break;
    }
    // The operation must be over before its OVERLAPPED goes.
    CancelIoEx(pipe, &overlapped);
    GetOverlappedResult(pipe, &overlapped, &transferred, TRUE);
    return false;
}

bool Transfer(const DecoderHelper& helper, bool writing, char* bytes, DWORD size, HelperDeadline deadline) {
    HANDLE pipe = helper.pipe.get();
    while (size > 0) {
        OVERLAPPED overlapped = {};
        overlapped.hEvent = helper.ioDone.get();
        DWORD done = 0;
        const BOOL finished = writing ? WriteFile(pipe, bytes, size, nullptr, &overlapped)
                                      : ReadFile(pipe, bytes, size, nullptr, &overlapped);
        if (finished) {
            GetOverlappedResult(pipe, &overlapped, &done, FALSE);
        } else if (GetLastError() != ERROR_IO_PENDING || !FinishTransfer(helper, overlapped, deadline, done)) {
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

// Connected, and by the helper this Tovrik started: the pipe's descriptor
// keeps other users out, the check anyone else of this user.
bool ConnectHelper(const DecoderHelper& helper) {
    OVERLAPPED overlapped = {};
    overlapped.hEvent = helper.ioDone.get();
    bool connected = ConnectNamedPipe(helper.pipe.get(), &overlapped) != FALSE;
    if (!connected) {
        const DWORD error = GetLastError();
        DWORD unused = 0;
        connected = error == ERROR_PIPE_CONNECTED ||
                    (error == ERROR_IO_PENDING &&
                     FinishTransfer(helper, overlapped, HelperDeadlineAfter(kHelperStartWaitMs), unused));
    }
    return connected && PipeClientIsProcess(helper.pipe.get(), helper.process.get());
}

// Suspended until it is in its job, so that no plug-in runs unlimited; no
// handle is inherited. With the lowered token where the system gives one.
bool CreateHelperProcess(HANDLE token, const std::wstring& program, std::wstring commandLine,
                         PROCESS_INFORMATION& started) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    // The helper never shows a window: no busy cursor while it starts.
    startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
    const DWORD flags = CREATE_SUSPENDED | CREATE_NO_WINDOW;
    if (token) {
        return CreateProcessAsUserW(token, program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, flags, nullptr,
                                    nullptr, &startup, &started) != FALSE;
    }
    return CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                          &startup, &started) != FALSE;
}

bool StartHelper(DecoderHelper& helper, bool lowered) {
    const std::wstring folder = ExecutableFolderWide();
    if (folder.empty()) return false;
    const std::wstring program = folder + kHelperProgram;
    UniqueHandle token = lowered ? LoweredHelperToken() : nullptr;
    if (lowered && !token) return false;
    HelperPipe pipe = CreateHelperPipe(lowered);
    helper.pipe = std::move(pipe.handle);
    helper.ioDone.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!helper.pipe || !helper.ioDone) return false;

    PROCESS_INFORMATION started = {};
    if (!CreateHelperProcess(token.get(), program, L"\"" + program + L"\" " + pipe.name, started)) return false;
    helper.process.reset(started.hProcess);
    helper.callsServed = 0;
    UniqueHandle thread(started.hThread);
    // Where the system refuses a job inside Tovrik's own, the helper runs
    // without one: it still ends with its pipe, and its memory is watched.
    helper.job = LimitedJob();
    if (helper.job && !AssignProcessToJobObject(helper.job.get(), started.hProcess)) helper.job.reset();
    ResumeThread(thread.get());
    return ConnectHelper(helper);
}

}  // namespace

HelperDeadline HelperDeadlineAfter(DWORD milliseconds) { return GetTickCount64() + milliseconds; }

bool ReadyDecoderHelper(DecoderHelper& helper) {
    if (helper.process) return true;
    // Lowered where the system allows; where a lowered helper cannot be
    // made, start or connect, one with Tovrik's rights.
    for (bool lowered : {true, false}) {
        if (StartHelper(helper, lowered)) return true;
        EndDecoderHelper(helper);
    }
    return false;
}

bool AskDecoderHelper(DecoderHelper& helper, const std::string& request, HelperDeadline deadline,
                      std::string& reply) {
    if (!ReadyDecoderHelper(helper)) return false;
    std::string frame = Frame(request);
    char header[4];
    uint32_t length = 0;
    if (!Transfer(helper, true, &frame[0], static_cast<DWORD>(frame.size()), deadline) ||
        !Transfer(helper, false, header, sizeof header, deadline) ||
        !FramePayloadLength(reinterpret_cast<const unsigned char*>(header), length)) {
        EndDecoderHelper(helper);
        return false;
    }
    reply.assign(length, '\0');
    if (length > 0 && !Transfer(helper, false, &reply[0], length, deadline)) {
        EndDecoderHelper(helper);
        return false;
    }
    ++helper.callsServed;
    return true;
}

uint32_t GiveHandleToDecoderHelper(HANDLE handle, DWORD access) {
    if (!g_decoderHelper.process) return 0;
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), handle, g_decoderHelper.process.get(), &copy, access, FALSE, 0))
        return 0;
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(copy));
}

void EndDecoderHelperHoldingTooMuch(DecoderHelper& helper, uint32_t committedKiB) {
    if (committedKiB > kHelperLeftBehindKiB) EndDecoderHelper(helper);
}

void EndDecoderHelper(DecoderHelper& helper) {
    if (helper.job) {
        TerminateJobObject(helper.job.get(), kEndedByTovrik);
    } else if (helper.process) {
        TerminateProcess(helper.process.get(), kEndedByTovrik);
    }
    // Its memory is given back before another helper starts.
    if (helper.process) WaitForSingleObject(helper.process.get(), 2000);
    helper.pipe.reset();
    helper.process.reset();
    helper.job.reset();
    helper.ioDone.reset();
    helper.callsServed = 0;
}
