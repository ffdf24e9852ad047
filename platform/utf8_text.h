// Paths and names travel through the program as UTF-8. On Windows the form
// is UTF-8 generalised to carry an unpaired surrogate as its own three-byte
// sequence, since NTFS names may hold one: every name the system lists
// converts back to exactly the name it was.
#pragma once

#include <string>
#include <string_view>

// UTF-16 to UTF-8; a surrogate pair becomes one four-byte sequence, an
// unpaired surrogate its three-byte form.
std::string Utf8FromUtf16(std::u16string_view utf16);

// The reverse. A byte that starts no valid sequence becomes U+FFFD, so no
// text is cut short.
std::u16string Utf16FromUtf8(std::string_view utf8);
