// The one setting, the plug-in folder, kept in Tovrik.ini beside the program,
// and the settings dialog that changes it.
#pragma once

#include <windows.h>

#include <string>

struct SettingsState {
    std::wstring settingsFile;  // the program's folder + "Tovrik.ini"; empty when it cannot be known
    std::string pluginFolder;   // UTF-8; empty: no plug-ins
};

extern SettingsState g_settings;

void ResolvePaths();
void ReadSettings();

// Runs the settings dialog modally; OK writes the setting (saying so when
// it cannot) and reloads the plug-ins, Cancel discards.
void OpenSettingsDialog(HWND owner);

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
