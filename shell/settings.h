// The one setting, the plug-in folder, kept in Tovrik.ini beside the program,
// and the settings dialog that changes it.
#pragma once

#include <windows.h>

#include <string>

#include "engine/analysis_filter.h"

struct SettingsState {
    std::wstring settingsFile;  // the program's folder + "Tovrik.ini"; empty when it cannot be known
    std::string pluginFolder;   // UTF-8; empty: no plug-ins
    AnalysisFilter analysisFilter;  // section Analysis; the defaults leave nothing more out
};

extern SettingsState g_settings;

void ResolvePaths();
void ReadSettings();

// Sets `key` of `section` in the settings file to a code page 932 value,
// keeping everything else the file holds; false when it cannot be written.
bool WriteSetting(const char* section, const char* key, const std::string& cp932Value);

// The analysis filter into section Analysis. False when the file cannot be
// written or a folder name cannot be written in code page 932.
bool WriteAnalysisFilter(const AnalysisFilter& filter);

// Runs the settings dialog modally; OK writes the setting (saying so when
// it cannot) and reloads the plug-ins, Cancel discards.
void OpenSettingsDialog(HWND owner);

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
