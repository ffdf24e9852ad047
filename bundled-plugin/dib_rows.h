// The pixels a host receives: a device-independent bitmap of bottom-up rows,
// each padded to a multiple of 4 bytes; 24-bit BGR, or 32-bit BGRA (alpha not
// premultiplied) when some pixel is not fully opaque.
#pragma once

#include <cstddef>

#include "bundled-plugin/image_decode.h"

struct DibLayout {
    int bitsPerPixel = 24;
    size_t stride = 0;      // bytes per row, padding included
    size_t imageBytes = 0;  // stride * height
};

DibLayout DibLayoutFor(const DecodedImage& image);

// Converts the picture's rows [firstRow, firstRow + rowCount), counted from
// the top, into their places in `dib` (layout.imageBytes bytes), padding
// included. Done in slices so that a host can follow the progress.
void WriteDibRows(const DecodedImage& image, const DibLayout& layout, int firstRow, int rowCount,
                  unsigned char* dib);
