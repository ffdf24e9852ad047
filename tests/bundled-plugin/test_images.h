// Pictures for the plug-in's tests, encoded here so that every pixel the
// decoder must produce is known exactly: PNG with stored (uncompressed)
// deflate blocks, GIF with one LZW code per pixel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
    uint8_t r, g, b, a;
    bool operator==(const Rgba& other) const {
        return r == other.r && g == other.g && b == other.b && a == other.a;
    }
};

struct TestPicture {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;  // rows top-down

    Rgba At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A picture whose neighbouring pixels all differ, with alpha varying from
// pixel to pixel when `withAlpha` (fully opaque otherwise).
TestPicture PatternPicture(int width, int height, bool withAlpha);

enum class PngColour {
    kRgb,
    kRgba,
    kGrey,  // the red channel of each pixel
    // RGB with a tRNS colour key: the colour of the pixels whose alpha is 0
    // (they must share one colour, which no opaque pixel may have).
    kRgbColourKey,
};
std::string EncodePng(const TestPicture& picture, PngColour colour);

// PNG header chunks only (signature and IHDR) claiming a size, for limits.
std::string PngHeaderOnly(uint32_t width, uint32_t height);

// A GIF89a of the frames (all the same size) with one shared palette of the
// opaque colours; pixels with alpha 0 use a transparent index.
std::string EncodeGif(const std::vector<TestPicture>& frames);

// Reads a bottom-up 24-bit BGR or 32-bit BGRA bitmap with rows padded to 4
// bytes back into a picture (alpha 255 for 24 bits).
TestPicture PictureFromDib(int width, int height, int bitsPerPixel, const unsigned char* bits);

// Text that no image format claims.
std::string PlainText();
