#include "bundled-plugin/image_decode.h"

#include <climits>
#include <cstring>

#include <stb_image.h>

#include "bundled-plugin/image_signature.h"
#include "bundled-plugin/susie_result.h"

void StbImageFree::operator()(unsigned char* pixels) const { stbi_image_free(pixels); }

namespace {

// PNGs optimised for iPhones hold premultiplied BGR; the decoder turns them
// into plain RGBA only when told to. The settings are process-wide, so they
// are made once, before any decode reads them.
void ConfigureDecoderOnce() {
    static const bool configured = [] {
        stbi_convert_iphone_png_to_rgb(1);
        stbi_set_unpremultiply_on_load(1);
        return true;
    }();
    (void)configured;
}

bool WithinDecodeLimits(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           int64_t{width} * height <= kMaxImagePixels;
}

}  // namespace

int ReadImageHeader(const unsigned char* bytes, size_t length, ImageHeader& header) {
    if (bytes == nullptr || length == 0) return kSusieUnknownFormat;
    if (length > INT_MAX) return kSusieOutOfMemory;
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes, static_cast<int>(length), &width, &height, &channels)) {
        return HasImageSignature(bytes, length) ? kSusieBrokenData : kSusieUnknownFormat;
    }
    header.width = width;
    header.height = height;
    header.channels = channels;
    return kSusieSuccess;
}

int DecodeImage(const unsigned char* bytes, size_t length, DecodedImage& image) {
    ImageHeader header;
    const int status = ReadImageHeader(bytes, length, header);
    if (status != kSusieSuccess) return status;
    if (!WithinDecodeLimits(header.width, header.height)) return kSusieOutOfMemory;

    ConfigureDecoderOnce();
    int width = 0, height = 0, channels = 0;
    image.rgba.reset(stbi_load_from_memory(bytes, static_cast<int>(length), &width, &height, &channels, 4));
    if (!image.rgba) {
        const char* reason = stbi_failure_reason();
        return reason != nullptr && std::strcmp(reason, "outofmem") == 0 ? kSusieOutOfMemory : kSusieBrokenData;
    }
    // The header and the decode read the same bytes; a disagreement means
    // data that the callers' size arithmetic must not trust.
    if (width != header.width || height != header.height) {
        image.rgba.reset();
        return kSusieBrokenData;
    }
    image.width = width;
    image.height = height;
    return kSusieSuccess;
}
