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

// Code page 932 text in UTF-16; empty when the text is not valid there.
std::wstring WideFromNarrow(const std::string& narrow);

// A wide path as the user should read it in a narrow message: characters
// the ANSI code page lacks show as "?".
std::string NarrowForDisplay(const std::wstring& wide);

// A wide full path in the form the wide functions open whatever its length
// and whatever its names: the "\\?\" prefix where the classic limit would
// stop them, and where the system's normalisation would change the path
// (a name ending in a space or a dot would lose it and name another file).
std::wstring WidePathForAnyLength(const std::wstring& wide);

// The path as the system's normalisation makes it (GetFullPathNameW): what
// a function that takes no "\\?\" path, the shell's among them, would act
// on. Empty when it cannot be formed.
std::wstring NormalFormOf(const std::wstring& wide);

// Converts a wide name to the ANSI code page. False when some character has
// no exact equivalent there (the narrow functions would show it as "?" or
// as a look-alike that can name another file).
bool NarrowFromWideExactly(const std::wstring& wide, std::string& narrow);

// The 8.3 form of a wide full path, with the "\\?\" prefix where the path
// has it; empty when the file system gives none.
std::wstring ShortPathOf(const std::wstring& path);

// The narrow name that opens the entry `name` of the folder `widePrefix`
// (a wide folder path ending in a separator): the name itself where code
// page 932 holds it exactly, otherwise its 8.3 name. False when it has
// neither.
bool NarrowEntryName(const std::wstring& widePrefix, const std::wstring& name, std::string& narrow);

// A narrow full path that opens what the wide full path `wide` names, each
// component as NarrowEntryName gives it. False when some component has no
// narrow name.
bool NarrowPathThatOpens(const std::wstring& wide, std::string& narrow);
