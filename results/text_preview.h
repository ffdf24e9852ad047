// The text preview: which files count as text, and the first lines of such
// a file as one code page 932 string. Shift-JIS and ASCII files are taken as
// they stand, UTF-16 little-endian files that start with a byte-order mark
// and ISO-2022-JP (JIS) files are converted. The result never holds a zero
// byte.
#pragma once

#include <cstddef>
#include <string>

// Most bytes of a file that a preview reads; reading stops there as if the
// line limit had been reached. A file without line feeds, or a huge file
// with a text extension, would otherwise be read whole, into memory, on the
// user-interface thread; counting bytes read rather than collected also
// bounds a file of zeros, which collects nothing. 300 lines of any sensible
// text fit many times over, and nobody reads a preview past four megabytes.
constexpr size_t kTextPreviewByteCap = 4 * 1024 * 1024;

// ".txt", ".ini", ".c", ".cpp", ".h", ".sql" or ".java", dot included, in
// any letter case. The whole text must match: ".hpp" and ".text" do not.
bool IsTextFileExtension(const std::string& extension);

// The text before the file's `lineLimit`-th line feed (the whole file when it
// has fewer), read from at most the first kTextPreviewByteCap bytes of the
// file. `lineLimit` is at least 1. Empty when the file cannot be opened.
std::string ReadTextPreview(const std::string& path, int lineLimit);

// ISO-2022-JP to Shift-JIS. Recognises ESC ( B and ESC ( J (ASCII), ESC ) I
// (kana, bytes passed through), ESC $ B (JIS X 0208 pairs converted) and
// ESC - A (shown as the four characters "\033", and what follows dropped
// up to the next designation); any other ESC shows as "\033" and the bytes
// after it are taken as usual, so ESC $ @ is not recognised. Stops at the
// first zero byte.
std::string ConvertJisToShiftJis(const std::string& text);
