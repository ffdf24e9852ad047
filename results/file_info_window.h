// The file-information window: a small owned window that paints the details
// text of the current selection. At most one exists; its menu item is grayed
// while it is open.
#pragma once

#include <windows.h>

void OpenFileInfoWindow(HWND mainWindow);

// Repaints the window with the current details text, if it is open.
void RefreshFileInfoWindow();

LRESULT CALLBACK FileInfoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
