// The folder chosen for analysis, and the ways it is chosen: the command
// that asks for it, a folder or file dropped on the main window, and a
// folder named on the command line.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

struct AnalysisFolderState {
    std::string folder;  // UTF-8; empty until the first choice; never cleared
};

extern AnalysisFolderState g_analysisFolder;

// Asks for a folder, retitles the main window and enables the analysis
// menu when a folder is set (also after a cancelled choice).
void SelectAnalysisFolder(HWND mainWindow);

// WM_DROPFILES: a dropped folder becomes the analysis folder as if it had
// been chosen, a dropped file chooses its folder; during a run nothing
// changes. Releases the drop.
void OnDroppedFiles(HWND mainWindow, HDROP drop);

// "Tovrik.exe FOLDER" starts with that folder chosen (a file: its folder).
// Without an argument, or with one that names nothing, nothing changes.
void TakeFolderFromCommandLine(HWND mainWindow);
