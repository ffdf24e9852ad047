// The pixels a host receives: a device-independent bitmap of bottom-up rows,
// each padded to a multiple of 4 bytes; 24-bit BGR, or 32-bit BGRA (alpha
// not premultiplied) when some pixel is not fully opaque. The decoder writes
// every picture as 32-bit BGRA rows first, straight into the block the host
// receives, and narrows it to 24 bits in place when all of it is opaque, so
// that no second copy of the picture is ever held.
#pragma once

#include <cstddef>

struct DibLayout {
    int bitsPerPixel = 32;
    size_t stride = 0;      // bytes per row, padding included
    size_t imageBytes = 0;  // stride * height
};

// The decode limits keep these sizes far below SIZE_MAX, even at 32 bits.
DibLayout DibLayoutFor(int width, int height, int bitsPerPixel);

// Whether any of the BGRA pixels has an alpha below 255.
bool HasTransparentPixel(const unsigned char* bgra, size_t pixelCount);

// Turns `height` rows of `width` BGRA pixels (4 * width bytes each) into
// 24-bit rows of the 24-bit layout, in the same block, padding zeroed.
void NarrowToOpaqueRows(unsigned char* dib, int width, int height);
