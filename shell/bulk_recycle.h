// Recycling many duplicates at once: keep the selected file and recycle the
// other members of its group, or keep every group's first member and
// recycle all the others. Each file goes only once proven, right then, to be
// an exact copy of the file that stays.
#pragma once

#include <windows.h>

void KeepSelectedRecycleOthers(HWND mainWindow);
void RecycleAllDuplicates(HWND mainWindow);

// The keep rules: in every group the file last written latest, or earliest,
// stays; or, in every group with a file in the selected file's folder (or
// below it), the first such file stays.
void KeepNewestRecycleOthers(HWND mainWindow);
void KeepOldestRecycleOthers(HWND mainWindow);
void KeepInFolderRecycleOthers(HWND mainWindow);
