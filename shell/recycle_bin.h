// The shell's undoable delete (the recycle bin), for one file or many in one
// operation, acting only on the very files it is given: where the system
// has no recycle bin, the shell's warning comes before anything is deleted
// for good. Every path that reaches the shell passes through here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "engine/file_identity.h"

// A file to recycle and the physical file that must be the one to go; the
// caller holds it open (sharing deletion) until the recycle returns.
struct FileToRecycle {
    std::string path;
    FileIdentity identity;
};

// How a recycle is shown: the shell's own progress window, or none where
// the caller shows the progress (errors and warnings are shown either way).
enum class ShellProgress {
    kShown,
    kSilent,
};

// Per file, whether it really went: the shell acted on it and the path no
// longer names that file. A file goes only under a path that names it
// exactly as the shell reads paths, and only while the path still leads to
// the held file: one renamed away and replaced since it was held stays, as
// does its replacement. `stopRequested`, where given, is asked between files
// where the shell allows it. What went before a stop or a cancel stays gone.
std::vector<bool> RecycleExactFiles(HWND owner, const std::vector<FileToRecycle>& files, ShellProgress progress,
                                    bool (*stopRequested)() = nullptr);

// One file by path, held while it goes: true only when it went.
bool SendToRecycleBin(HWND owner, const std::string& path);
