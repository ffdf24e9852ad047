#include "bundled-plugin/image_signature.h"

#include <cstdint>
#include <cstring>

#include "bundled-plugin/image_decode.h"
#include "bundled-plugin/susie_result.h"

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

bool EndsWithTgaExtension(const char* fileName) {
    if (fileName == nullptr) return false;
    const char* dot = std::strrchr(fileName, '.');
    if (dot == nullptr) return false;
    const char* extension = dot + 1;
    return std::strlen(extension) == 3 && (extension[0] | 0x20) == 't' && (extension[1] | 0x20) == 'g' &&
           (extension[2] | 0x20) == 'a';
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

bool IsSupportedHead(const unsigned char* head, size_t length, const char* fileName) {
    if (HasImageSignature(head, length)) return true;
    // Without a signature, only a header the decoder accepts (which for bytes
    // without any signature can only be a Targa header) in a .tga file.
    ImageHeader header;
    return EndsWithTgaExtension(fileName) && ReadImageHeader(head, length, header) == kSusieSuccess;
}
