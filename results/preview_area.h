// The preview area right of the results tree.
#pragma once

#include <windows.h>

// The main window's WM_PAINT: draws the area through an off-screen buffer,
// so that it never flickers (the window never erases its background).
void PaintPreviewArea(HWND mainWindow);
