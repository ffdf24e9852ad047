// The one top-level window: class TOVRIK, its procedure and its handlers.
#pragma once

#include <windows.h>

bool RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
