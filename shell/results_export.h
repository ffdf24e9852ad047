// "結果をCSVで保存": the results tree as it stands, written as a CSV file the
// user names in the shell's Save As dialog.
#pragma once

#include <windows.h>

void SaveResultsAsCsv(HWND mainWindow);
