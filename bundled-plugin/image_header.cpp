#include "bundled-plugin/image_header.h"

#include <climits>
#include <cstring>

#include <stb_image.h>

#include "bundled-plugin/image_signature.h"
#include "bundled-plugin/susie_result.h"

namespace {

bool EndsWithTgaExtension(const char* fileName) {
    if (fileName == nullptr) return false;
    const char* dot = std::strrchr(fileName, '.');
    if (dot == nullptr) return false;
    const char* extension = dot + 1;
    return std::strlen(extension) == 3 && (extension[0] | 0x20) == 't' && (extension[1] | 0x20) == 'g' &&
           (extension[2] | 0x20) == 'a';
}

}  // namespace

int ReadImageHeader(const unsigned char* bytes, size_t length, ImageHeader& header) {
    if (bytes == nullptr || length == 0) return kSusieUnknownFormat;
    if (length > INT_MAX) return kSusieOutOfMemory;
    int width = 0, height = 0, channels = 0;
    // A failed header read tells no reason (every format was tried), so the
    // signature decides between broken and unknown; that includes sizes that
    // stb_image itself turns away as corrupt.
    if (!stbi_info_from_memory(bytes, static_cast<int>(length), &width, &height, &channels)) {
        return HasImageSignature(bytes, length) ? kSusieBrokenData : kSusieUnknownFormat;
    }
    // Some headers cut short read as a size of zero.
    if (width <= 0 || height <= 0) return kSusieBrokenData;
    header.width = width;
    header.height = height;
    header.channels = channels;
    return kSusieSuccess;
}

bool IsSupportedHead(const unsigned char* head, size_t length, const char* fileName) {
    if (HasImageSignature(head, length)) return true;
    // Without a signature, only a header the decoder accepts (which for bytes
    // without any signature can only be a Targa header) in a .tga file.
    ImageHeader header;
    return EndsWithTgaExtension(fileName) && ReadImageHeader(head, length, header) == kSusieSuccess;
}
