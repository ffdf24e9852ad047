// Where the running program lies, taken wide: the narrow query substitutes
// look-alikes for characters outside code page 932 ("café" comes back as
// "cafe") and so names another folder, or none (Win32 builds only).
#pragma once

#include <string>

// The executable's full path, of any length; empty when it cannot be read.
std::wstring ExecutablePathWide();

// The folder holding the executable, with its trailing backslash; empty
// when the path cannot be read.
std::wstring ExecutableFolderWide();

