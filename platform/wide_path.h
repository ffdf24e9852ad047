// Paths at the Win32 boundary (Win32 builds only). The program keeps paths
// as UTF-8 text of any length (utf8_text.h); these give the wide paths that
// the system opens whatever their length.
#pragma once

#include <string>

// The wide path for a UTF-8 full path; paths too long for the classic limit
// get the "\\?\" prefix.
std::wstring WidePathFromUtf8(const std::string& path);

// A wide full path in the form the wide functions open whatever its length
// and whatever its names: the "\\?\" prefix where the classic limit would
// stop them, and where the system's normalisation would change the path
// (a name ending in a space or a dot would lose it and name another file).
std::wstring WidePathForAnyLength(const std::wstring& wide);

// The path as the system's normalisation makes it (GetFullPathNameW): what
// a function that takes no "\\?\" path, the shell's among them, would act
// on. Empty when it cannot be formed.
std::wstring NormalFormOf(const std::wstring& wide);

// The 8.3 form of a wide full path, with the "\\?\" prefix where the path
// has it; empty when the file system gives none. Only for interfaces that
// cannot take the real name; never shown to the user.
std::wstring ShortPathOf(const std::wstring& path);
