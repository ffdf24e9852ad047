// The results tree's context menu, offered on file items only.
#pragma once

#include <windows.h>

// `screenPoint` comes from WM_CONTEXTMENU; a keyboard request (-1, -1)
// carries no position and shows nothing.
void ShowTreeContextMenu(HWND mainWindow, POINT screenPoint);
