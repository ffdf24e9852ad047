// The dialog that sets what an analysis leaves out (resource 207): the
// smallest file size and the names of folders to skip, kept in Tovrik.ini.
#pragma once

#include <windows.h>

void OpenAnalysisFilterDialog(HWND owner);

INT_PTR CALLBACK AnalysisFilterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
