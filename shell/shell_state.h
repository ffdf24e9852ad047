// The application shell's process-wide handles, written once at start-up.
#pragma once

#include <windows.h>

struct ShellState {
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;  // null until creation has returned
};

extern ShellState g_shell;
