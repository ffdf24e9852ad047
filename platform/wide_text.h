// Text at the Windows boundary (Win32 builds only). Paths and names inside
// the program are UTF-8 (utf8_text.h) and its own texts are code page 932;
// Windows gets UTF-16, converted here with the code page named, never the
// ANSI code page, so the program reads right whatever the system's locale.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// The program's own texts (and a plug-in's, and Tovrik.ini's) in UTF-16.
std::wstring WideFromCp932(std::string_view cp932);

// For the narrow interfaces that remain (plug-ins, the settings file): false
// when some character has no exact form in code page 932, where the system
// would put "?" or a look-alike that may name another file.
bool Cp932FromWideExactly(std::wstring_view wide, std::string& cp932);

// A code page 932 text in which each "%s" takes the next of `arguments`,
// which are wide already (paths, digit-grouped counts). '%' is never part
// of a double-byte character, so the format splits safely.
std::wstring WideFromCp932Format(std::string_view format, std::initializer_list<std::wstring_view> arguments);
