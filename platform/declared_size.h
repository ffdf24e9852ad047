// The limits on the pictures Tovrik and its bundled plug-in decode, and the
// sizes a file declares in its headers, read before any decoder sees the
// file: some decoders allocate and fill whole frames as soon as they open a
// file, so a hostile header must be turned away before that, not at the
// frame.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t kMaxImageSide = 16384;
constexpr uint64_t kMaxImagePixels = uint64_t{64} << 20;

bool WithinDecodeLimits(uint64_t width, uint64_t height);

// True when the header of a PNG (IHDR), GIF (the screen, each frame and all
// frames together), JPEG (its frame header), BMP, TIFF (the first image), ICO
// or CUR (every image, and the PNG or bitmap inside it) declares a size
// beyond the limits. A format it does not read, or a header cut short,
// declares nothing here: the decoder judges those, and the frame's size is
// checked again before its pixels are decoded. Never reads past `length`.
bool DeclaresSizeBeyondLimits(const unsigned char* bytes, size_t length);
