#include "bundled-plugin/image_signature.h"

#include <cstdint>
#include <cstring>

namespace {

bool StartsWith(const unsigned char* head, size_t length, size_t offset, const char* magic, size_t magicLength) {
    return length >= offset + magicLength && std::memcmp(head + offset, magic, magicLength) == 0;
}

template <size_t N>
bool StartsWith(const unsigned char* head, size_t length, const char (&magic)[N], size_t offset = 0) {
    return StartsWith(head, length, offset, magic, N - 1);
}

uint32_t LittleEndian32(const unsigned char* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

// "BM" alone starts too many texts; the size of the info header that
// follows the 14-byte file header tells a bitmap apart.
bool IsBmp(const unsigned char* head, size_t length) {
    if (!StartsWith(head, length, "BM") || length < 18) return false;
    const uint32_t infoSize = LittleEndian32(head + 14);
    return infoSize == 12 || infoSize == 40 || infoSize == 56 || infoSize == 108 || infoSize == 124;
}

// Binary PPM and PGM only (the decoder does not read the text forms P2 and
// P3); the magic must be followed by a separator or a comment.
bool IsBinaryPnm(const unsigned char* head, size_t length) {
    if (length < 3 || head[0] != 'P' || (head[1] != '5' && head[1] != '6')) return false;
    const unsigned char next = head[2];
    return next == ' ' || next == '\t' || next == '\r' || next == '\n' || next == '#';
}

}  // namespace

bool HasImageSignature(const unsigned char* head, size_t length) {
    if (head == nullptr) return false;
    return StartsWith(head, length, "\x89PNG\r\n\x1a\n") || StartsWith(head, length, "\xff\xd8\xff") ||
           StartsWith(head, length, "GIF87a") || StartsWith(head, length, "GIF89a") || IsBmp(head, length) ||
           StartsWith(head, length, "8BPS") || StartsWith(head, length, "#?RADIANCE\n") ||
           StartsWith(head, length, "#?RGBE\n") ||
           (StartsWith(head, length, "\x53\x80\xf6\x34") && StartsWith(head, length, "PICT", 88)) ||
           IsBinaryPnm(head, length);
}
