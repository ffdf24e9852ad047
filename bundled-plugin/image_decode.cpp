#include "bundled-plugin/image_decode.h"

#include <climits>
#include <cstring>

#include <stb_image.h>

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
    return width <= kMaxImageSide && height <= kMaxImageSide && int64_t{width} * height <= kMaxImagePixels;
}

// stb_image tells why a decode failed only in its text: a picture it finds
// too large, or has no memory for, is a memory failure; anything else is
// broken data, since the header has been read by then.
int ResultOfFailedDecode() {
    const char* reason = stbi_failure_reason();
    const bool memory =
        reason != nullptr && (std::strcmp(reason, "outofmem") == 0 || std::strcmp(reason, "too large") == 0);
    return memory ? kSusieOutOfMemory : kSusieBrokenData;
}

}  // namespace

int DecodeImage(const unsigned char* bytes, size_t length, DecodedImage& image) {
    ImageHeader header;
    const int status = ReadImageHeader(bytes, length, header);
    if (status != kSusieSuccess) return status;
    if (!WithinDecodeLimits(header.width, header.height)) return kSusieOutOfMemory;

    ConfigureDecoderOnce();
    int width = 0, height = 0, channels = 0;
    image.rgba.reset(stbi_load_from_memory(bytes, static_cast<int>(length), &width, &height, &channels, 4));
    if (!image.rgba) return ResultOfFailedDecode();
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
