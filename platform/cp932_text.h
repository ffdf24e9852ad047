// Scanning code page 932 paths. A double-byte character's second byte may
// be 0x5C, the backslash (表, ソ, 能, 十 all end in it), or an ASCII letter,
// so every scan for a separator and every letter-case comparison walks the
// text as lead/trail pairs. "." and ";" are never second bytes, so searches
// for those need no such walk.
#pragma once

#include <string>

// 0x81-0x9F and 0xE0-0xFC start a double-byte character.
bool IsCp932LeadByte(unsigned char byte);

// True when the last character of `text` is a backslash.
bool EndsWithBackslash(const std::string& text);

// Position of the last backslash character, or std::string::npos.
size_t LastBackslashPosition(const std::string& text);

// Compares two texts with ASCII letters folded to one case; double-byte
// characters compare exactly, so ア (0x83 0x41) never equals ヂ (0x83 0x61).
bool EqualsIgnoringCase(const std::string& first, const std::string& second);

// The text from the last "." anywhere in the path to its end, dot included;
// a dot in a folder name counts. Empty when the path has no dot.
std::string PathExtension(const std::string& path);
