// Starts a Windows program, waits for its first window and loads the test
// agent into it (a remote LoadLibrary), then waits for the program to end
// and returns its exit code. The program itself has no test code path.
// Usage: e2e_launcher PROGRAM AGENT_DLL
// Paths are taken wide, so that a program folder may hold any character.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

struct WindowSearch {
    DWORD processId;
    bool found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

bool WaitForFirstWindow(const PROCESS_INFORMATION& process, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) return false;
        WindowSearch search = {process.dwProcessId, false};
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return true;
        Sleep(20);
    }
    return false;
}

bool InjectAgent(HANDLE process, const std::wstring& agentPath) {
    const SIZE_T size = (agentPath.size() + 1) * sizeof(wchar_t);
    void* remotePath = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remotePath) return false;
    if (!WriteProcessMemory(process, remotePath, agentPath.c_str(), size, nullptr)) return false;
    auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryW")));
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, loadLibrary, remotePath, 0, nullptr);
    if (!thread) return false;
    WaitForSingleObject(thread, 20000);
    DWORD loaded = 0;
    GetExitCodeThread(thread, &loaded);
    CloseHandle(thread);
    return loaded != 0;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 3) {
        std::fprintf(stderr, "usage: e2e_launcher PROGRAM AGENT_DLL\n");
        return 120;
    }
    std::wstring commandLine = std::wstring(L"\"") + argv[1] + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "e2e_launcher: cannot start %ls (%lu)\n", argv[1], GetLastError());
        return 121;
    }
    if (WaitForFirstWindow(process, 30000) && !InjectAgent(process.hProcess, argv[2])) {
        std::fprintf(stderr, "e2e_launcher: cannot load the agent\n");
        TerminateProcess(process.hProcess, 122);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}
