// The platform-free decoder: what it recognises, what it refuses before
// decoding, and hostile or cut-off input (run under AddressSanitizer too).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "bundled-plugin/dib_rows.h"
#include "bundled-plugin/image_decode.h"
#include "bundled-plugin/image_header.h"
#include "bundled-plugin/image_signature.h"
#include "bundled-plugin/susie_result.h"
#include "tests/bundled-plugin/test_images.h"

namespace {

// An exact-size heap copy, so that reading one byte too far is caught.
std::unique_ptr<unsigned char[]> ExactCopy(const std::string& bytes, size_t length) {
    std::unique_ptr<unsigned char[]> copy(new unsigned char[length > 0 ? length : 1]);
    std::memcpy(copy.get(), bytes.data(), length);
    return copy;
}

bool SignedPrefix(const std::string& bytes, size_t length) {
    return HasImageSignature(ExactCopy(bytes, length).get(), length);
}

int DecodePrefix(const std::string& bytes, size_t length, DecodedImage& image) {
    return DecodeImage(ExactCopy(bytes, length).get(), length, image);
}

int Decode(const std::string& bytes, DecodedImage& image) { return DecodePrefix(bytes, bytes.size(), image); }

std::string BmpHead(char infoSize) { return std::string("BM") + std::string(12, '\0') + infoSize + std::string(3, '\0'); }

// A 2x1 top-left-origin 24-bit Targa: blue-green-red pixels.
std::string TargaBytes() {
    return std::string{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0x20} +
           std::string{30, 20, 10, static_cast<char>(200), static_cast<char>(150), 100};
}

std::string ReadFixture(const char* variable) {
    const char* path = std::getenv(variable);
    if (path == nullptr) return std::string();
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TestPicture PictureOf(const DecodedImage& image) {
    TestPicture picture{image.width, image.height, {}};
    const unsigned char* rgba = image.rgba.get();
    for (int i = 0; i < image.width * image.height; ++i, rgba += 4) {
        picture.pixels.push_back(Rgba{rgba[0], rgba[1], rgba[2], rgba[3]});
    }
    return picture;
}

TEST(ImageSignatureTest, EachSignatureIsClaimedWholeAndNotOneByteShort) {
    const std::string pic = std::string("\x53\x80\xf6\x34") + std::string(84, 'x') + "PICT";
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
        {"8BPS", 4},
        {"#?RADIANCE\n", 11},
        {"#?RGBE\n", 7},
        {pic, pic.size()},
        {"P6\n", 3},
        {"P5#", 3},
    };
    for (const auto& entry : cases) {
        EXPECT_TRUE(SignedPrefix(entry.bytes, entry.signatureLength)) << entry.bytes;
        EXPECT_FALSE(SignedPrefix(entry.bytes, entry.signatureLength - 1)) << entry.bytes;
    }
}

TEST(ImageSignatureTest, LookAlikesAreNotClaimed) {
    for (const std::string& bytes : {std::string("\x89PNG\r\n\x1a\x0b"), std::string("GIF88a"), BmpHead(41),
                                     std::string("BMW is not a bitmap, nor is this text"), std::string("P3\n1 1\n"),
                                     std::string("P6x"), std::string("\x53\x80\xf6\x34") + std::string(84, 'x') + "PICS",
                                     PlainText(), std::string()}) {
        EXPECT_FALSE(SignedPrefix(bytes, bytes.size())) << bytes;
    }
}

TEST(ImageSignatureTest, TargaHasNoSignatureAndIsClaimedOnlyInATgaFile) {
    const std::string targa = TargaBytes();
    const auto head = reinterpret_cast<const unsigned char*>(targa.data());
    EXPECT_TRUE(IsSupportedHead(head, targa.size(), "C:\\pictures\\scan.tga"));
    EXPECT_TRUE(IsSupportedHead(head, targa.size(), "SCAN.TGA"));
    EXPECT_FALSE(IsSupportedHead(head, targa.size(), "scan.tga.txt"));
    EXPECT_FALSE(IsSupportedHead(head, targa.size(), nullptr));
    const std::string text = PlainText();
    EXPECT_FALSE(IsSupportedHead(reinterpret_cast<const unsigned char*>(text.data()), text.size(), "text.tga"));

    DecodedImage image;
    ASSERT_EQ(Decode(targa, image), kSusieSuccess);
    EXPECT_EQ(PictureOf(image).pixels, (std::vector<Rgba>{{10, 20, 30, 255}, {100, 150, 200, 255}}));
}

TEST(ImageDecodeTest, SizesBeyondTheLimitsAreRefusedFromTheHeader) {
    DecodedImage image;
    EXPECT_EQ(Decode(PngHeaderOnly(kMaxImageSide + 1, 1), image), kSusieOutOfMemory);
    EXPECT_EQ(Decode(PngHeaderOnly(1, kMaxImageSide + 1), image), kSusieOutOfMemory);
    EXPECT_EQ(Decode(PngHeaderOnly(8193, 8193), image), kSusieOutOfMemory);  // just over 64 Mi pixels
    // Past stb_image's own bound the header counts as corrupt.
    EXPECT_EQ(Decode(PngHeaderOnly(0x7FFFFFFF, 0x7FFFFFFF), image), kSusieBrokenData);
    // Exactly at the limits the decoder is let in, and finds no pixel data.
    EXPECT_EQ(Decode(PngHeaderOnly(kMaxImageSide, 4096), image), kSusieBrokenData);
    EXPECT_FALSE(image.rgba);
}

TEST(ImageDecodeTest, NonImagesAreUnknownAndCutOffImagesBroken) {
    DecodedImage image;
    EXPECT_EQ(Decode(std::string(), image), kSusieUnknownFormat);
    EXPECT_EQ(Decode(PlainText(), image), kSusieUnknownFormat);
    EXPECT_EQ(Decode(std::string(4096, '\0'), image), kSusieUnknownFormat);

    // The decoder stops at IEND without reading its checksum, so only cuts
    // before the last four bytes are sure to fail.
    const std::string png = EncodePng(PatternPicture(7, 5, true), PngColour::kRgba);
    for (size_t length = 0; length < png.size() - 4; ++length) {
        EXPECT_EQ(DecodePrefix(png, length, image), length < 8 ? kSusieUnknownFormat : kSusieBrokenData) << length;
    }
}

// Every cut of a GIF or JPEG either fails with an error code or, once the
// first frame or the scan data is whole enough, decodes at the full size.
TEST(ImageDecodeTest, EveryCutOfAGifOrJpegEndsInAResultNotACrash) {
    const std::string jpeg = ReadFixture("TOVRIK_TEST_JPEG");
    ASSERT_FALSE(jpeg.empty()) << "TOVRIK_TEST_JPEG names no readable JPEG";
    const std::string gif = EncodeGif({PatternPicture(6, 4, false), PatternPicture(6, 4, false)});
    for (const std::string* bytes : {&gif, &jpeg}) {
        DecodedImage whole;
        ASSERT_EQ(Decode(*bytes, whole), kSusieSuccess);
        for (size_t length = 0; length < bytes->size(); ++length) {
            DecodedImage image;
            const int status = DecodePrefix(*bytes, length, image);
            if (status == kSusieSuccess) {
                EXPECT_EQ(image.width, whole.width);
                EXPECT_EQ(image.height, whole.height);
            } else {
                EXPECT_TRUE(status == kSusieUnknownFormat || status == kSusieBrokenData) << length << ": " << status;
            }
        }
    }
}

// The host's progress slices write rows piecemeal: each source row must land
// in its own bottom-up row and leave the others alone.
TEST(DibRowsTest, SlicesWriteOnlyTheirOwnBottomUpRows) {
    const TestPicture picture = PatternPicture(3, 4, false);
    DecodedImage image;
    ASSERT_EQ(Decode(EncodePng(picture, PngColour::kRgb), image), kSusieSuccess);
    const DibLayout layout = DibLayoutFor(image);
    ASSERT_EQ(layout.bitsPerPixel, 24);
    ASSERT_EQ(layout.stride, 12u);
    std::string dib(layout.imageBytes, '\x5a');
    auto* bits = reinterpret_cast<unsigned char*>(&dib[0]);

    WriteDibRows(image, layout, 1, 2, bits);
    EXPECT_EQ(dib.substr(0, 12), std::string(12, '\x5a'));   // source row 3
    EXPECT_EQ(dib.substr(36, 12), std::string(12, '\x5a'));  // source row 0
    WriteDibRows(image, layout, 0, 1, bits);
    WriteDibRows(image, layout, 3, 1, bits);
    EXPECT_EQ(PictureFromDib(3, 4, 24, bits).pixels, picture.pixels);
    for (size_t row = 0; row < 4; ++row) EXPECT_EQ(dib.substr(row * 12 + 9, 3), std::string(3, '\0')) << row;
}

// A colour-keyed PNG reports three channels, yet has transparent pixels.
TEST(DibRowsTest, DepthFollowsThePixelsNotTheChannelCount) {
    TestPicture keyed = PatternPicture(4, 2, false);
    keyed.pixels[5] = Rgba{1, 2, 3, 0};
    DecodedImage image;
    ASSERT_EQ(Decode(EncodePng(keyed, PngColour::kRgbColourKey), image), kSusieSuccess);
    EXPECT_EQ(PictureOf(image).pixels, keyed.pixels);
    EXPECT_EQ(DibLayoutFor(image).bitsPerPixel, 32);
    EXPECT_EQ(DibLayoutFor(image).stride, 16u);

    ASSERT_EQ(Decode(EncodePng(PatternPicture(4, 2, false), PngColour::kRgba), image), kSusieSuccess);
    EXPECT_EQ(DibLayoutFor(image).bitsPerPixel, 24);
}

}  // namespace
