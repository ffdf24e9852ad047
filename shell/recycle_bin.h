// The shell's undoable delete of many files in one operation: one progress
// window, which the user can cancel, and on a drive without a recycle bin
// the shell's warning before anything is deleted for good.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Per path, whether the file really went (it is no longer there). What the
// shell did before a cancel stays done.
std::vector<bool> SendFilesToRecycleBin(HWND owner, const std::vector<std::string>& paths);
