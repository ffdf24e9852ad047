// Small files read and written whole (Win32 builds only): the settings file
// and the saved results. Paths are wide full paths of any length.
#pragma once

#include <cstddef>
#include <string>

// False when the file cannot be opened or read, or is larger than
// `mostBytes`.
bool ReadWholeFile(const std::wstring& path, size_t mostBytes, std::string& contents);

// Writes the contents beside the target under a name of its own, made new
// (never one of the user's files), and puts it in the target's place whole,
// so that a failed write never leaves a cut-short file or spoils the one it
// replaces.
bool WriteWholeFile(const std::wstring& path, const std::string& contents);
