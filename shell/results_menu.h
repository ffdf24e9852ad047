// The File menu's commands that act on all results at once (recycle every
// duplicate, save as CSV): usable only between runs, while the tree holds a
// group.
#pragma once

#include <windows.h>

// From any thread: the checks and the menu calls are carried out for the
// user-interface thread.
void UpdateResultsMenu(HWND mainWindow);
