#include "bundled-plugin/dib_rows.h"

#include <cstring>

namespace {

// Decided from the pixels, not from the decoder's channel count: a GIF always
// decodes with alpha, and a PNG with a transparent colour key reports none.
bool HasTransparency(const DecodedImage& image) {
    const size_t pixelCount = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    const unsigned char* rgba = image.rgba.get();
    for (size_t i = 0; i < pixelCount; ++i) {
        if (rgba[i * 4 + 3] != 255) return true;
    }
    return false;
}

}  // namespace

DibLayout DibLayoutFor(const DecodedImage& image) {
    DibLayout layout;
    layout.bitsPerPixel = HasTransparency(image) ? 32 : 24;
    // The decode limits keep these products far below SIZE_MAX, even at 32 bits.
    const size_t rowBytes = static_cast<size_t>(image.width) * static_cast<size_t>(layout.bitsPerPixel / 8);
    layout.stride = (rowBytes + 3) & ~size_t{3};
    layout.imageBytes = layout.stride * static_cast<size_t>(image.height);
    return layout;
}

void WriteDibRows(const DecodedImage& image, const DibLayout& layout, int firstRow, int rowCount,
                  unsigned char* dib) {
    const size_t sourceStride = static_cast<size_t>(image.width) * 4;
    const size_t bytesPerPixel = static_cast<size_t>(layout.bitsPerPixel / 8);
    for (int row = firstRow; row < firstRow + rowCount; ++row) {
        const unsigned char* source = image.rgba.get() + static_cast<size_t>(row) * sourceStride;
        unsigned char* target = dib + static_cast<size_t>(image.height - 1 - row) * layout.stride;
        unsigned char* pixel = target;
        for (int x = 0; x < image.width; ++x, source += 4, pixel += bytesPerPixel) {
            pixel[0] = source[2];
            pixel[1] = source[1];
            pixel[2] = source[0];
            if (bytesPerPixel == 4) pixel[3] = source[3];
        }
        std::memset(pixel, 0, layout.stride - static_cast<size_t>(pixel - target));
    }
}
