// The shell's folder browser, limited to file-system folders.
#pragma once

#include <windows.h>

#include <string>

// `title` is one of the program's own texts. True with the chosen folder's
// full path in UTF-8, its real name at any length; false when the user
// cancels.
bool ChooseFolder(HWND owner, const char* title, std::string& folder);
