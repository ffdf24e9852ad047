#include "bundled-plugin/image_signature.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

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

// Four bytes of which two are zero start many files; an icon directory
// also holds at least one image, and its first entry's reserved byte is 0.
bool IsIcon(const unsigned char* head, size_t length) {
    return StartsWith(head, length, "\0\0\1\0") && length >= 6 + 16 && (head[4] | head[5]) != 0 && head[6 + 3] == 0;
}

// An ISO media file whose brand is one of HEIF's.
bool IsHeif(const unsigned char* head, size_t length) {
    if (!StartsWith(head, length, "ftyp", 4) || length < 12) return false;
    for (const char* brand : {"heic", "heix", "hevc", "hevx", "heim", "heis", "mif1", "msf1"}) {
        if (std::memcmp(head + 8, brand, 4) == 0) return true;
    }
    return false;
}

}  // namespace

bool HasImageSignature(const unsigned char* head, size_t length) {
    if (head == nullptr) return false;
    return StartsWith(head, length, "\x89PNG\r\n\x1a\n") || StartsWith(head, length, "\xff\xd8\xff") ||
           StartsWith(head, length, "GIF87a") || StartsWith(head, length, "GIF89a") || IsBmp(head, length) ||
           StartsWith(head, length, "II*\0") || StartsWith(head, length, "MM\0*") || IsIcon(head, length) ||
           (StartsWith(head, length, "RIFF") && StartsWith(head, length, "WEBP", 8)) || IsHeif(head, length) ||
           StartsWith(head, length, "II\xbc\x01");
}
