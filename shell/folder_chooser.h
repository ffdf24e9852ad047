// The shell's folder browser, limited to file-system folders.
#pragma once

#include <windows.h>

#include <string>

// True with the chosen folder's full path; false when the user cancels.
bool ChooseFolder(HWND owner, const char* title, std::string& folder);
