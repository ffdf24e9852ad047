#include "decoder/fault_guard_win32.h"

#include <windows.h>

namespace {

constexpr UINT kExitAfterFault = 0xDEC0DE;
constexpr DWORD kSeverityMask = 0xC0000000;
constexpr DWORD kSeverityError = 0xC0000000;
constexpr DWORD kCustomerCode = 0x20000000;

PVOID g_faultHandler = nullptr;

// The system's own error codes (access violations, stack overflow, heap
// corruption, illegal instructions, division by zero...) and breakpoints,
// which without a debugger end a process the same way. Exceptions that
// programs raise on purpose carry the customer bit (C++ and Delphi
// exceptions, which their code catches) or a lower severity.
bool IsFault(DWORD code) {
    return ((code & kSeverityMask) == kSeverityError && (code & kCustomerCode) == 0) || code == EXCEPTION_BREAKPOINT;
}

LONG CALLBACK EndOnFault(EXCEPTION_POINTERS* exception) {
    if (IsFault(exception->ExceptionRecord->ExceptionCode)) TerminateProcess(GetCurrentProcess(), kExitAfterFault);
    return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI EndOnUnhandledException(EXCEPTION_POINTERS* /*exception*/) {
    TerminateProcess(GetCurrentProcess(), kExitAfterFault);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void ApplyFaultHandling() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndOnUnhandledException);
    if (g_faultHandler) RemoveVectoredExceptionHandler(g_faultHandler);
    g_faultHandler = AddVectoredExceptionHandler(1, EndOnFault);
}
