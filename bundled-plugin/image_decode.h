// Decoding a picture held in memory into 8-bit RGBA with stb_image, within
// limits that keep a hostile header from making the host's 32-bit process
// give most of its address space to one picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "bundled-plugin/image_header.h"

constexpr int kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = int64_t{64} << 20;
// The largest block the decoder may ask for: the raw rows of the largest
// picture admitted at 16 bits per channel with alpha, plus a filter byte
// per row. Checked on every allocation, because a deflate stream can expand
// past what the header promised.
constexpr size_t kMaxDecoderBlockBytes = static_cast<size_t>(kMaxImagePixels) * 8 + kMaxImageSide;

struct StbImageFree {
    void operator()(unsigned char* pixels) const;
};

struct DecodedImage {
    std::unique_ptr<unsigned char, StbImageFree> rgba;  // rows top-down, width * 4 bytes each
    int width = 0;
    int height = 0;
};

// Decodes the picture (the first frame of an animation). Returns a
// SusieResult; out of memory also for a picture beyond the limits above.
int DecodeImage(const unsigned char* bytes, size_t length, DecodedImage& image);
