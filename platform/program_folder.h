// The folder of the running program, from its module path taken wide, so
// that any character in it survives (Win32 builds only).
#pragma once

#include <string>

// With its trailing backslash; empty when the path cannot be read.
std::wstring ProgramFolder();
