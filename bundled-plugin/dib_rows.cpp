#include "bundled-plugin/dib_rows.h"

#include <cstring>

DibLayout DibLayoutFor(int width, int height, int bitsPerPixel) {
    DibLayout layout;
    layout.bitsPerPixel = bitsPerPixel;
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel / 8);
    layout.stride = (rowBytes + 3) & ~size_t{3};
    layout.imageBytes = layout.stride * static_cast<size_t>(height);
    return layout;
}

bool HasTransparentPixel(const unsigned char* bgra, size_t pixelCount) {
    for (size_t i = 0; i < pixelCount; ++i) {
        if (bgra[i * 4 + 3] != 255) return true;
    }
    return false;
}

void NarrowToOpaqueRows(unsigned char* dib, int width, int height) {
    const size_t wideStride = static_cast<size_t>(width) * 4;
    const size_t narrowStride = DibLayoutFor(width, height, 24).stride;
    // Front to back, a narrow row never reaches past the wide row it comes
    // from, nor a pixel past the one it is read from.
    for (int row = 0; row < height; ++row) {
        const unsigned char* source = dib + static_cast<size_t>(row) * wideStride;
        unsigned char* const rowStart = dib + static_cast<size_t>(row) * narrowStride;
        unsigned char* target = rowStart;
        for (int x = 0; x < width; ++x, source += 4, target += 3) {
            target[0] = source[0];
            target[1] = source[1];
            target[2] = source[2];
        }
        std::memset(target, 0, narrowStride - static_cast<size_t>(target - rowStart));
    }
}
