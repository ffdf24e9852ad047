// Narrow (ANSI code page, 932) paths at the Win32 boundary. The engine keeps
// narrow paths of any length; these turn them into wide paths that the
// system opens whatever their length, and turn wide names back only when the
// narrow form names exactly the same file.
#pragma once

#include <string>

// The wide path for a narrow full path; paths too long for the classic
// limit get the "\\?\" prefix. Empty when the text is not valid in the ANSI
// code page.
std::wstring WidePathFromNarrow(const std::string& narrow);

// Any narrow text (a caption, a file type) in UTF-16; empty when it is not
// valid in the ANSI code page.
std::wstring WideFromNarrow(const std::string& narrow);

// A wide path as the user should read it in a narrow message: characters
// the ANSI code page lacks show as "?".
std::string NarrowForDisplay(const std::wstring& wide);

// Converts a wide name to the ANSI code page. False when some character has
// no exact equivalent there (the narrow functions would show it as "?" or
// as a look-alike that can name another file).
bool NarrowFromWideExactly(const std::wstring& wide, std::string& narrow);
