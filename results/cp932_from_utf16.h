// One UTF-16 code unit in code page 932, the one place where the text
// preview meets the platform's character tables (WideCharToMultiByte on
// Windows, iconv on POSIX).
#pragma once

#include <string>

// The unit's one or two code page 932 bytes; empty when it has no exact form
// there. Each unit stands alone, so a surrogate half always gives nothing,
// which loses nothing: code page 932 has no characters beyond the BMP.
std::string Cp932FromUtf16Unit(char16_t unit);
