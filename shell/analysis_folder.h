// The folder chosen for analysis, and the command that chooses it.
#pragma once

#include <windows.h>

#include <string>

struct AnalysisFolderState {
    std::string folder;  // empty until the first choice; never cleared
};

extern AnalysisFolderState g_analysisFolder;

// Asks for a folder, retitles the main window and enables the analysis
// menu when a folder is set (also after a cancelled choice).
void SelectAnalysisFolder(HWND mainWindow);
