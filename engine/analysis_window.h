// The window side of an analysis run: the modeless progress dialog, the
// coordinator thread, and what the coordinator asks of the main window.
#pragma once

#include <windows.h>

// Starts a run over the analysis folder: shows the progress dialog and
// starts the coordinator thread, then returns at once. Refused while a run
// is in progress.
void StartAnalysis(HWND mainWindow);

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Moves the progress bar while a progress dialog exists (any thread).
void SetProgress(unsigned percent);

// Takes the progress dialog down at the end of a run (any thread).
void CloseProgressDialog();
