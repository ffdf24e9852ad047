// The platform-free side of the plug-in: what it recognises, which declared
// sizes it turns away before any decoder sees them, and the bitmap rows it
// hands over (run under AddressSanitizer too, where every input is an
// exact-size copy, so that a read one byte too far shows).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/declared_size.h"
#include "bundled-plugin/dib_rows.h"
#include "bundled-plugin/image_signature.h"
#include "tests/bundled-plugin/test_images.h"

namespace {

std::unique_ptr<unsigned char[]> ExactCopy(const std::string& bytes, size_t length) {
    std::unique_ptr<unsigned char[]> copy(new unsigned char[length > 0 ? length : 1]);
    std::memcpy(copy.get(), bytes.data(), length);
    return copy;
}

bool SignedPrefix(const std::string& bytes, size_t length) {
    return HasImageSignature(ExactCopy(bytes, length).get(), length);
}

// Whether the whole file declares too much, checking on the way that no
// cut of it reads past its end or declares too much before the size itself.
bool BeyondLimits(const std::string& bytes) {
    for (size_t length = 0; length < bytes.size(); ++length)
        DeclaresSizeBeyondLimits(ExactCopy(bytes, length).get(), length);
    return DeclaresSizeBeyondLimits(ExactCopy(bytes, bytes.size()).get(), bytes.size());
}

std::string Le16(unsigned value) { return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)}; }
std::string Le32(uint32_t value) { return Le16(value & 0xFFFF) + Le16(value >> 16); }
std::string Be16(unsigned value) { return {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)}; }
std::string Be32(uint32_t value) { return Be16(value >> 16) + Be16(value & 0xFFFF); }

std::string BmpHead(char infoSize) { return std::string("BM") + std::string(12, '\0') + infoSize + std::string(3, '\0'); }

std::string Bmp(int32_t width, int32_t height) {
    return std::string("BM") + std::string(12, '\0') + Le32(40) + Le32(static_cast<uint32_t>(width)) +
           Le32(static_cast<uint32_t>(height)) + Le16(1) + Le16(24) + std::string(24, '\0');
}

// A GIF whose screen and frames have the given sizes; each frame's pixel
// data is one sub-block of three bytes, after a comment extension.
std::string Gif(unsigned screenWidth, unsigned screenHeight, const std::vector<std::pair<unsigned, unsigned>>& frames) {
    std::string gif = "GIF89a" + Le16(screenWidth) + Le16(screenHeight) + std::string("\x80\0\0", 3) +
                      std::string(6, '\x11');  // a 2-colour global table
    gif += std::string("\x21\xfe\x03") + "abc" + std::string(1, '\0');
    for (const auto& frame : frames) {
        gif += "\x2c" + Le16(0) + Le16(0) + Le16(frame.first) + Le16(frame.second) + std::string(1, '\0');
        gif += std::string("\x02\x03\x4c\x01\x00", 5) + std::string(1, '\0');
    }
    return gif + "\x3b";
}

// SOI, an APP0 and a DHT segment, then the frame header of `marker`.
std::string Jpeg(unsigned marker, unsigned width, unsigned height) {
    std::string jpeg("\xff\xd8", 2);
    jpeg += std::string("\xff\xe0", 2) + Be16(16) + "JFIF" + std::string(10, '\0');
    jpeg += std::string("\xff\xc4", 2) + Be16(2 + 17) + std::string(17, '\0');
    jpeg += std::string("\xff", 1) + static_cast<char>(marker) + Be16(11) + std::string(1, 8) + Be16(height) +
            Be16(width) + std::string("\x01\x01\x11\x00", 4);
    return jpeg + std::string("\xff\xda", 2);
}

std::string Tiff(bool bigEndian, uint32_t width, uint32_t height, bool longValues) {
    auto u16 = [bigEndian](unsigned v) { return bigEndian ? Be16(v) : Le16(v); };
    auto u32 = [bigEndian](uint32_t v) { return bigEndian ? Be32(v) : Le32(v); };
    auto entry = [&](unsigned tag, uint32_t value) {
        return u16(tag) + u16(longValues ? 4 : 3) + u32(1) + (longValues ? u32(value) : u16(value) + u16(0));
    };
    return std::string(bigEndian ? "MM\0*" : "II*\0", 4) + u32(8) + u16(3) + entry(256, width) + entry(257, height) +
           entry(258, 8) + u32(0);
}

// An icon's bitmap: a DIB without the file header, its height counting the mask.
std::string IconBitmap(int32_t width, int32_t height) { return Bmp(width, height).substr(14); }

// An icon directory of one entry, whose image is `image`.
std::string Icon(const std::string& image) {
    return std::string("\0\0\1\0\1\0", 6) + std::string("\x20\x20\0\0\1\0\x20\0", 8) + Le32(static_cast<uint32_t>(image.size())) +
           Le32(22) + image;
}

TEST(ImageSignatureTest, EachSignatureIsClaimedWholeAndNotOneByteShort) {
    const struct {
        std::string bytes;
        size_t signatureLength;
    } cases[] = {
        {EncodePng(PatternPicture(2, 2, false), PngColour::kRgb), 8},
        {std::string("\xff\xd8\xff\xe0", 4), 3},
        {"GIF87a", 6},
        {"GIF89a", 6},
        {BmpHead(40), 18},
        {BmpHead(124), 18},
        {std::string("II*\0", 4), 4},
        {std::string("MM\0*", 4), 4},
        {Icon(IconBitmap(32, 64)), 22},
        {std::string("RIFF\x24\0\0\0WEBPVP8 ", 16), 12},
        {std::string("\0\0\0\x18" "ftypheic", 12), 12},
        {std::string("\0\0\0\x18" "ftypmif1", 12), 12},
        {std::string("II\xbc\x01", 4), 4},
    };
    for (const auto& entry : cases) {
        EXPECT_TRUE(SignedPrefix(entry.bytes, entry.signatureLength)) << entry.bytes;
        EXPECT_FALSE(SignedPrefix(entry.bytes, entry.signatureLength - 1)) << entry.bytes;
    }
}

TEST(ImageSignatureTest, LookAlikesAreNotClaimed) {
    std::string noImages = Icon(IconBitmap(32, 64));
    noImages[4] = 0;
    std::string reserved = Icon(IconBitmap(32, 64));
    reserved[9] = 1;
    for (const std::string& bytes :
         {std::string("\x89PNG\r\n\x1a\x0b"), std::string("GIF88a"), BmpHead(41),
          std::string("BMW is not a bitmap, nor is this text"), std::string("II*x"),
          std::string("RIFF\x24\0\0\0WAVEfmt ", 16), std::string("\0\0\0\x18" "ftypisom", 12), noImages, reserved,
          // Formats the plug-in decoded before it used the system's codecs.
          std::string("P6\n1 1\n255\n"), std::string("8BPS"), PlainText(), std::string()}) {
        EXPECT_FALSE(SignedPrefix(bytes, bytes.size())) << bytes;
    }
}

TEST(DeclaredSizeTest, PngAndBmpHeadersAreHeldToTheLimits) {
    EXPECT_FALSE(BeyondLimits(PngHeaderOnly(kMaxImageSide, 4096)));  // exactly 64 Mi pixels
    EXPECT_TRUE(BeyondLimits(PngHeaderOnly(kMaxImageSide + 1, 1)));
    EXPECT_TRUE(BeyondLimits(PngHeaderOnly(1, kMaxImageSide + 1)));
    EXPECT_TRUE(BeyondLimits(PngHeaderOnly(8193, 8193)));
    EXPECT_TRUE(BeyondLimits(PngHeaderOnly(0xFFFFFFFF, 0xFFFFFFFF)));
    EXPECT_FALSE(BeyondLimits(EncodePng(PatternPicture(7, 5, true), PngColour::kRgba)));

    EXPECT_FALSE(BeyondLimits(Bmp(8192, 8192)));
    EXPECT_TRUE(BeyondLimits(Bmp(20000, 1)));
    EXPECT_TRUE(BeyondLimits(Bmp(1, -20000)));  // top-down
    EXPECT_TRUE(BeyondLimits(Bmp(-20000, 1)));
    EXPECT_TRUE(BeyondLimits(Bmp(1, INT32_MIN)));
    const std::string core = std::string("BM") + std::string(12, '\0') + Le32(12) + Le16(40000) + Le16(1) + Le16(1) + Le16(24);
    EXPECT_TRUE(BeyondLimits(core));
}

// Some decoders decode every frame of a GIF as they open it.
TEST(DeclaredSizeTest, GifScreenAndEveryFrameAreHeldToTheLimits) {
    EXPECT_FALSE(BeyondLimits(Gif(8192, 8192, {{8192, 8192}})));
    EXPECT_FALSE(BeyondLimits(EncodeGif({PatternPicture(6, 4, false), PatternPicture(6, 4, false)})));
    EXPECT_TRUE(BeyondLimits(Gif(16385, 1, {{1, 1}})));
    EXPECT_TRUE(BeyondLimits(Gif(100, 100, {{20000, 1}})));
    EXPECT_TRUE(BeyondLimits(Gif(100, 100, {{100, 100}, {100, 100}, {65535, 65535}})));
    // The frames together: four of 4096 x 4096 make exactly the limit.
    const std::pair<unsigned, unsigned> quarter{4096, 4096};
    EXPECT_FALSE(BeyondLimits(Gif(4096, 4096, std::vector<std::pair<unsigned, unsigned>>(4, quarter))));
    EXPECT_TRUE(BeyondLimits(Gif(4096, 4096, std::vector<std::pair<unsigned, unsigned>>(30, quarter))));
}

TEST(DeclaredSizeTest, JpegFrameHeaderAfterOtherSegmentsIsHeldToTheLimits) {
    for (unsigned frame : {0xC0u, 0xC1u, 0xC2u, 0xC3u, 0xC9u, 0xCFu}) {
        EXPECT_FALSE(BeyondLimits(Jpeg(frame, kMaxImageSide, 4096))) << frame;
        EXPECT_TRUE(BeyondLimits(Jpeg(frame, kMaxImageSide, 4097))) << frame;
        EXPECT_TRUE(BeyondLimits(Jpeg(frame, 65535, 65535))) << frame;
    }
    // 0xC4 (Huffman tables) and 0xCC (arithmetic coding) are no frame headers.
    EXPECT_FALSE(BeyondLimits(Jpeg(0xC4, 65535, 65535)));
    EXPECT_FALSE(BeyondLimits(Jpeg(0xCC, 65535, 65535)));
    // What decoders step over on the way: a stray byte, fill bytes, a
    // stuffed zero, a segment length below 2.
    const std::string frame = std::string("\xff\xc0\x00\x0b\x08\x4e\x20\x4e\x20\x01\x01\x11\x00", 13);
    for (const std::string& before : {std::string(1, '\0'), std::string("\xff\xff\xff", 3), std::string("\xff\0", 2),
                                      std::string("\xff\xe0\0\x01", 4), std::string("\xff\xfe\0\0", 4)}) {
        EXPECT_TRUE(BeyondLimits(std::string("\xff\xd8", 2) + before + frame)) << before.size();
    }
}

TEST(DeclaredSizeTest, TiffFirstImageAndIconFirstImageAreHeldToTheLimits) {
    for (bool bigEndian : {false, true}) {
        for (bool longValues : {false, true}) {
            EXPECT_FALSE(BeyondLimits(Tiff(bigEndian, kMaxImageSide, 4096, longValues)));
            EXPECT_TRUE(BeyondLimits(Tiff(bigEndian, 4096, kMaxImageSide + 1, longValues)));
        }
    }
    EXPECT_TRUE(BeyondLimits(Tiff(false, 100000, 100000, true)));
    // A second width after a huge one, and a width of type LONG8 (16).
    std::string duplicate = Tiff(false, 100000, 100, true);
    duplicate.replace(10 + 24, 12, duplicate.substr(10, 4) + Le32(1) + Le32(100));
    EXPECT_TRUE(BeyondLimits(duplicate));
    std::string long8 = Tiff(false, 100, 100, true);
    long8.replace(10 + 2, 2, Le16(16));
    EXPECT_TRUE(BeyondLimits(long8));

    EXPECT_FALSE(BeyondLimits(Icon(IconBitmap(32, 64))));
    EXPECT_FALSE(BeyondLimits(Icon(IconBitmap(kMaxImageSide, 2 * 4096))));  // the height counts the mask
    EXPECT_TRUE(BeyondLimits(Icon(IconBitmap(kMaxImageSide, 2 * 4097))));
    EXPECT_TRUE(BeyondLimits(Icon(PngHeaderOnly(30000, 30000))));
    EXPECT_FALSE(BeyondLimits(Icon(EncodePng(PatternPicture(3, 3, true), PngColour::kRgba))));
}

TEST(DeclaredSizeTest, OtherBytesDeclareNothing) {
    EXPECT_FALSE(BeyondLimits(PlainText()));
    EXPECT_FALSE(BeyondLimits(std::string()));
    EXPECT_FALSE(DeclaresSizeBeyondLimits(nullptr, 100));
}

// The rows are narrowed in the block that holds them: nothing may be
// overwritten before it is read, and every row's padding is zero.
TEST(DibRowsTest, NarrowingInPlaceKeepsEveryPixelAndZeroesThePadding) {
    for (int width = 1; width <= 6; ++width) {
        const TestPicture picture = PatternPicture(width, 4, false);
        std::string dib;
        for (int y = 3; y >= 0; --y) {  // bottom-up, as the decoder writes them
            for (int x = 0; x < width; ++x) {
                const Rgba p = picture.At(x, y);
                dib += std::string{static_cast<char>(p.b), static_cast<char>(p.g), static_cast<char>(p.r),
                                   static_cast<char>(p.a)};
            }
        }
        const DibLayout narrow = DibLayoutFor(width, 4, 24);
        ASSERT_EQ(narrow.stride, static_cast<size_t>((width * 3 + 3) / 4 * 4));
        ASSERT_LE(narrow.imageBytes, dib.size());
        NarrowToOpaqueRows(reinterpret_cast<unsigned char*>(&dib[0]), width, 4);
        EXPECT_EQ(PictureFromDib(width, 4, 24, reinterpret_cast<const unsigned char*>(dib.data())).pixels,
                  picture.pixels)
            << width;
        for (size_t row = 0; row < 4; ++row) {
            const size_t padding = narrow.stride - static_cast<size_t>(width) * 3;
            EXPECT_EQ(dib.substr(row * narrow.stride + width * 3, padding), std::string(padding, '\0')) << width;
        }
    }
    EXPECT_EQ(DibLayoutFor(5, 3, 32).stride, 20u);
    EXPECT_EQ(DibLayoutFor(5, 3, 32).imageBytes, 60u);
}

TEST(DibRowsTest, OneAlphaBelowFullKeepsThirtyTwoBits) {
    std::string bgra(4 * 6, '\xff');
    EXPECT_FALSE(HasTransparentPixel(reinterpret_cast<const unsigned char*>(bgra.data()), 6));
    bgra[4 * 5 + 3] = '\xfe';
    EXPECT_TRUE(HasTransparentPixel(reinterpret_cast<const unsigned char*>(bgra.data()), 6));
    EXPECT_FALSE(HasTransparentPixel(reinterpret_cast<const unsigned char*>(bgra.data()), 5));
}

}  // namespace
