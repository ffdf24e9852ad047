// The window side of an analysis run: the modeless progress dialog and the
// coordinator thread. What the coordinator asks of the main window comes in
// as an AnalysisView, assembled by the window that owns the tree and menu.
#pragma once

#include <windows.h>

#include <string>

#include "engine/analysis_run.h"

// Starts a run over `folder`: shows the progress dialog (owned by
// `mainWindow`) and starts the coordinator thread, which reaches the front
// end only through `view`, then returns at once. Refused while a run is in
// progress.
void StartAnalysis(HWND mainWindow, const std::string& folder, AnalysisView view,
                   const AnalysisFilter& filter = AnalysisFilter());

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Moves the progress bar while a progress dialog exists (any thread).
void SetProgress(unsigned percent);

// Takes the progress dialog down at the end of a run (any thread).
void CloseProgressDialog();
