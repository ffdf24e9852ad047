// The details and preview of the results tree's selection, and the routing
// of the tree's notifications to them.
#pragma once

#include <windows.h>

// The main window's WM_NOTIFY: the Delete key in the results tree goes to
// the recycle bin action, a selection change to ShowSelection. Always 0, so
// the tree goes on to handle a key as usual.
LRESULT RouteTreeNotification(HWND mainWindow, int controlId, const NMHDR* notification);

// On TVN_SELCHANGED (narrow): rebuilds the details text and the preview for
// the tree's selected item, then has the preview area and the
// file-information window repaint.
void ShowSelection(HWND mainWindow, const NMHDR* notification);
