// Narrow paths as UTF-8, for files that other programs read (the results
// CSV). On Windows the narrow text is the ANSI code page (932); on POSIX it
// is the file system's own bytes, which are UTF-8 already.
#pragma once

#include <string>

// The text in UTF-8. A byte sequence that is no character of the narrow
// code page becomes U+FFFD rather than vanishing.
std::string Utf8FromNarrow(const std::string& narrow);
