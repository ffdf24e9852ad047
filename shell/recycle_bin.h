// The shell's undoable delete (the recycle bin), for one file or many in one
// operation: one progress window, which the user can cancel, and where there
// is no recycle bin the shell's warning before anything is deleted for good.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// True only when the file really went: the shell reported success, nothing
// was aborted, and the file is no longer there.
bool SendToRecycleBin(HWND owner, const std::string& path);

// Per path, whether the file really went (it is no longer there). What the
// shell did before a cancel stays done.
std::vector<bool> SendFilesToRecycleBin(HWND owner, const std::vector<std::string>& paths);
