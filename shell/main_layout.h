// Placement of the caption label, the results tree and the preview area.
#pragma once

#include <windows.h>

// Fits the caption label to the tree's width and the tree to the client
// height, then repaints. Does nothing before the main window is recorded.
void LayoutMainWindow();

// The caption label's height, 20 pixels at 96 DPI; the tree starts below it.
int CaptionLabelHeight();

// The rectangle right of the tree, in the window's client coordinates.
RECT PreviewArea(HWND window);
