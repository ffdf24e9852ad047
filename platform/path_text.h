// Scanning paths and names, which travel as UTF-8 (utf8_text.h). A byte
// below 0x80 is never part of a longer sequence there, so separators, dots
// and ASCII letters can be found and folded byte by byte.
#pragma once

#include <string>
#include <string_view>

// Compares two texts with ASCII letters folded to one case, as the
// extensions of files and plug-ins are matched; every other character
// compares exactly.
bool EqualsIgnoringCase(std::string_view first, std::string_view second);

// The text from the last "." anywhere in the path to its end, dot included;
// a dot in a folder name counts. Empty when the path has no dot.
std::string PathExtension(const std::string& path);
