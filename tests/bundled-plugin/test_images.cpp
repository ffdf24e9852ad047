#include "tests/bundled-plugin/test_images.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

void AppendBigEndian32(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

void AppendLittleEndian16(std::string& out, unsigned value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t Adler32(const std::string& bytes) {
    uint32_t a = 1, b = 0;
    for (unsigned char byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void AppendChunk(std::string& png, const char* type, const std::string& data) {
    AppendBigEndian32(png, static_cast<uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    png += typed;
    AppendBigEndian32(png, Crc32(typed));
}

std::string ZlibStored(const std::string& raw) {
    std::string out("\x78\x01", 2);
    size_t offset = 0;
    do {
        const size_t length = std::min<size_t>(raw.size() - offset, 65535);
        const bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        AppendLittleEndian16(out, static_cast<unsigned>(length));
        AppendLittleEndian16(out, static_cast<unsigned>(~length & 0xFFFF));
        out.append(raw, offset, length);
        offset += length;
    } while (offset < raw.size());
    AppendBigEndian32(out, Adler32(raw));
    return out;
}

std::string Ihdr(uint32_t width, uint32_t height, char colourType) {
    std::string ihdr;
    AppendBigEndian32(ihdr, width);
    AppendBigEndian32(ihdr, height);
    ihdr += std::string{8, colourType, 0, 0, 0};
    return ihdr;
}

const char kPngSignature[] = "\x89PNG\r\n\x1a\n";

// A picture these encoders cannot represent is a mistake in the test itself.
[[noreturn]] void BadTestPicture(const char* why) {
    std::fprintf(stderr, "test picture: %s\n", why);
    std::abort();
}

// LZW codes of 9 bits, least significant bit first, as GIF packs them.
class GifCodeWriter {
public:
    void Write(unsigned code) {
        pending_ |= code << pendingBits_;
        pendingBits_ += 9;
        while (pendingBits_ >= 8) {
            bytes_.push_back(static_cast<char>(pending_ & 0xFF));
            pending_ >>= 8;
            pendingBits_ -= 8;
        }
    }
    std::string Finish() {
        if (pendingBits_ > 0) bytes_.push_back(static_cast<char>(pending_ & 0xFF));
        return bytes_;
    }

private:
    std::string bytes_;
    unsigned pending_ = 0;
    int pendingBits_ = 0;
};

}  // namespace

TestPicture PatternPicture(int width, int height, bool withAlpha) {
    TestPicture picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t alpha = withAlpha ? static_cast<uint8_t>(x * 37 + y * 91) : 255;
            picture.pixels.push_back(Rgba{static_cast<uint8_t>(x * 40 + 7), static_cast<uint8_t>(y * 50 + 3),
                                          static_cast<uint8_t>(x * 13 + y * 29 + 100), alpha});
        }
    }
    return picture;
}

std::string EncodePng(const TestPicture& picture, PngColour colour) {
    const char colourType = colour == PngColour::kRgba ? 6 : colour == PngColour::kGrey ? 0 : 2;
    std::string raw;
    for (int y = 0; y < picture.height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < picture.width; ++x) {
            const Rgba pixel = picture.At(x, y);
            if (colour == PngColour::kGrey) {
                raw.push_back(static_cast<char>(pixel.r));
                continue;
            }
            raw += std::string{static_cast<char>(pixel.r), static_cast<char>(pixel.g), static_cast<char>(pixel.b)};
            if (colour == PngColour::kRgba) raw.push_back(static_cast<char>(pixel.a));
        }
    }
    std::string png(kPngSignature, 8);
    AppendChunk(png, "IHDR", Ihdr(static_cast<uint32_t>(picture.width), static_cast<uint32_t>(picture.height), colourType));
    if (colour == PngColour::kRgbColourKey) {
        auto key = std::find_if(picture.pixels.begin(), picture.pixels.end(), [](Rgba p) { return p.a == 0; });
        if (key == picture.pixels.end()) BadTestPicture("a colour key needs a transparent pixel");
        std::string trns;
        for (uint8_t channel : {key->r, key->g, key->b}) trns += std::string{0, static_cast<char>(channel)};
        AppendChunk(png, "tRNS", trns);
    }
    AppendChunk(png, "IDAT", ZlibStored(raw));
    AppendChunk(png, "IEND", "");
    return png;
}

std::string PngHeaderOnly(uint32_t width, uint32_t height) {
    std::string png(kPngSignature, 8);
    AppendChunk(png, "IHDR", Ihdr(width, height, 6));
    return png;
}

std::string EncodeGif(const std::vector<TestPicture>& frames) {
    // Index 0 is the transparent one; the opaque colours follow.
    std::vector<Rgba> palette{Rgba{0, 0, 0, 0}};
    auto indexOf = [&palette](Rgba pixel) -> unsigned {
        if (pixel.a == 0) return 0;
        pixel.a = 255;
        auto found = std::find(palette.begin() + 1, palette.end(), pixel);
        if (found != palette.end()) return static_cast<unsigned>(found - palette.begin());
        if (palette.size() == 256) BadTestPicture("more than 255 opaque colours");
        palette.push_back(pixel);
        return static_cast<unsigned>(palette.size() - 1);
    };
    std::vector<std::vector<unsigned>> indices;
    for (const TestPicture& frame : frames) {
        indices.emplace_back();
        for (Rgba pixel : frame.pixels) indices.back().push_back(indexOf(pixel));
    }

    const int width = frames.front().width, height = frames.front().height;
    std::string gif("GIF89a");
    AppendLittleEndian16(gif, static_cast<unsigned>(width));
    AppendLittleEndian16(gif, static_cast<unsigned>(height));
    gif += std::string{static_cast<char>(0xF7), 0, 0};  // 256-colour global table, background index 0
    for (size_t i = 0; i < 256; ++i) {
        const Rgba colour = i < palette.size() ? palette[i] : Rgba{0, 0, 0, 0};
        gif += std::string{static_cast<char>(colour.r), static_cast<char>(colour.g), static_cast<char>(colour.b)};
    }
    for (const std::vector<unsigned>& frame : indices) {
        // Graphic control: leave the frame in place, index 0 transparent.
        gif += std::string{0x21, static_cast<char>(0xF9), 4, 0x05, 10, 0, 0, 0};
        gif += std::string{0x2C, 0, 0, 0, 0};
        AppendLittleEndian16(gif, static_cast<unsigned>(width));
        AppendLittleEndian16(gif, static_cast<unsigned>(height));
        gif += std::string{0, 8};  // no local table; LZW minimum code size 8

        // Codes stay 9 bits wide: a clear code comes before the table of
        // 9-bit codes (256 + 2 + 253 entries) could fill up.
        GifCodeWriter codes;
        for (size_t i = 0; i < frame.size(); ++i) {
            if (i % 250 == 0) codes.Write(256);
            codes.Write(frame[i]);
        }
        codes.Write(257);
        const std::string data = codes.Finish();
        for (size_t offset = 0; offset < data.size(); offset += 255) {
            const size_t length = std::min<size_t>(255, data.size() - offset);
            gif.push_back(static_cast<char>(length));
            gif.append(data, offset, length);
        }
        gif.push_back(0);
    }
    gif.push_back(0x3B);
    return gif;
}

std::string PlainText() { return "This is a plain text file, not a picture.\r\nSecond line.\r\n"; }

TestPicture PictureFromDib(int width, int height, int bitsPerPixel, const unsigned char* bits) {
    const size_t stride = (static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4;
    TestPicture picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = bits + static_cast<size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const unsigned char* pixel = row + static_cast<size_t>(x) * (bitsPerPixel / 8);
            picture.pixels.push_back(Rgba{pixel[2], pixel[1], pixel[0], bitsPerPixel == 32 ? pixel[3] : uint8_t{255}});
        }
    }
    return picture;
}
