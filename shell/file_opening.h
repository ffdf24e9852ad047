// Opening the selected file with its default program, and showing it
// selected in its folder (Explorer). Both act on the results tree's selected
// file item and say so when they cannot.
#pragma once

#include <windows.h>

void OpenSelectedFile(HWND mainWindow);
void OpenSelectedFileFolder(HWND mainWindow);
