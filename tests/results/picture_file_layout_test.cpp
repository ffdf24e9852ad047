// The picture files the preview reads itself, past the classic path limit:
// every offset and length is checked against the file's bytes.
#include "results/picture_file_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>

namespace {

void PutU16(std::string& bytes, uint32_t value) {
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>(value >> 8 & 0xFF));
}

void PutU32(std::string& bytes, uint32_t value) {
    PutU16(bytes, value & 0xFFFF);
    PutU16(bytes, value >> 16);
}

// A 24-bit bitmap file (2 x 2 by default: 14 + 40 header bytes, two rows
// of 8 bytes), or with `compression` and `compressedBytes` in its header.
std::string BitmapFile(uint32_t width = 2, uint32_t height = 2, uint32_t compression = 0, uint32_t compressedBytes = 0) {
    const uint32_t bitCount = compression == 0 ? 24 : 8;
    const uint32_t pixelBytes = compression == 0 ? (width * 3 + 3) / 4 * 4 * height : compressedBytes;
    std::string file = "BM";
    PutU32(file, 14 + 40 + pixelBytes);
    PutU32(file, 0);
    PutU32(file, 14 + 40);
    for (uint32_t value : {40u, width, height}) PutU32(file, value);
    PutU16(file, 1);
    PutU16(file, bitCount);
    for (uint32_t value : {compression, compressedBytes, 0u, 0u, 0u, 0u}) PutU32(file, value);
    file.append(pixelBytes, '\x7f');
    return file;
}

// An icon or cursor directory whose entries are (width, offset, length).
std::string IconFile(IconFileKind kind, std::initializer_list<std::array<uint32_t, 3>> entries) {
    std::string file;
    PutU16(file, 0);
    PutU16(file, static_cast<uint32_t>(kind));
    PutU16(file, static_cast<uint32_t>(entries.size()));
    for (const auto& entry : entries) {
        file.push_back(static_cast<char>(entry[0]));
        file.push_back(static_cast<char>(entry[0]));
        file.append(2, '\0');
        PutU16(file, 3);  // planes, or the hotspot's x
        PutU16(file, 5);  // bits per pixel, or the hotspot's y
        PutU32(file, entry[2]);
        PutU32(file, entry[1]);
    }
    file.resize(200, '\0');
    return file;
}

TEST(PictureFileLayoutTest, BitmapPartsOnlyWhereTheFileHoldsThem) {
    ByteRange info, pixels;
    ASSERT_TRUE(LocateBitmapFileParts(BitmapFile(), info, pixels));
    EXPECT_EQ(info.offset, 14u);
    EXPECT_EQ(info.length, 40u);
    EXPECT_EQ(pixels.offset, 54u);
    EXPECT_EQ(pixels.length, 16u);

    std::string shortPixels = BitmapFile();
    shortPixels.pop_back();
    EXPECT_FALSE(LocateBitmapFileParts(shortPixels, info, pixels));
    std::string pixelsPastTheEnd = BitmapFile();
    pixelsPastTheEnd[10] = '\xff';
    EXPECT_FALSE(LocateBitmapFileParts(pixelsPastTheEnd, info, pixels));
    EXPECT_FALSE(LocateBitmapFileParts("\x89PNG\r\n\x1a\n and more bytes than a header", info, pixels));
    EXPECT_FALSE(LocateBitmapFileParts("BM", info, pixels));
}

// A bitmap cut short loses rows the system's loader would paint black; a
// header of a few bytes must not ask for more pixels than the limits allow.
TEST(PictureFileLayoutTest, WholeBitmapFilesOnlyAndWithinTheLimits) {
    EXPECT_TRUE(IsWholeBitmapFile(BitmapFile(200, 150)));
    EXPECT_FALSE(IsWholeBitmapFile(BitmapFile(200, 150).substr(0, 1000)));
    EXPECT_FALSE(IsWholeBitmapFile(BitmapFile(20000, 1)));
    // Run-length encoded: all of its compressed bytes.
    EXPECT_TRUE(IsWholeBitmapFile(BitmapFile(64, 64, 1, 100)));
    EXPECT_FALSE(IsWholeBitmapFile(BitmapFile(64, 64, 1, 100).substr(0, 14 + 40 + 99)));
    EXPECT_FALSE(IsWholeBitmapFile(BitmapFile(64, 64, 5, 100)));
    // The core header: 16-bit sizes and every row.
    std::string core = "BM";
    for (uint32_t value : {14u + 12 + 8, 0u, 14u + 12, 12u}) PutU32(core, value);
    for (uint32_t value : {1u, 2u, 1u, 24u}) PutU16(core, value);
    core.append(8, '\x7f');
    EXPECT_TRUE(IsWholeBitmapFile(core));
    EXPECT_FALSE(IsWholeBitmapFile(core.substr(0, core.size() - 1)));
}

TEST(PictureFileLayoutTest, IconImageNearestTheStandardSizeWithinTheFile) {
    IconFileImage image;
    ASSERT_TRUE(ChooseIconFileImage(IconFile(IconFileKind::kIcon, {{16, 40, 10}, {32, 50, 20}, {48, 70, 30}}),
                                    IconFileKind::kIcon, 32, image));
    EXPECT_EQ(image.width, 32);
    EXPECT_EQ(image.bytes.offset, 50u);
    EXPECT_EQ(image.bytes.length, 20u);
    // Width 0 stands for 256; of two equally near, the first.
    ASSERT_TRUE(ChooseIconFileImage(IconFile(IconFileKind::kIcon, {{0, 40, 10}, {24, 50, 10}, {40, 60, 10}}),
                                    IconFileKind::kIcon, 32, image));
    EXPECT_EQ(image.width, 24);
    ASSERT_TRUE(ChooseIconFileImage(IconFile(IconFileKind::kCursor, {{16, 40, 10}}), IconFileKind::kCursor, 32, image));
    EXPECT_EQ(image.hotspotX, 3);
    EXPECT_EQ(image.hotspotY, 5);

    EXPECT_FALSE(ChooseIconFileImage(IconFile(IconFileKind::kCursor, {{16, 40, 10}}), IconFileKind::kIcon, 32, image));
    EXPECT_FALSE(ChooseIconFileImage(IconFile(IconFileKind::kIcon, {{16, 40, 10}, {32, 190, 11}}),
                                     IconFileKind::kIcon, 32, image));
    EXPECT_FALSE(ChooseIconFileImage(IconFile(IconFileKind::kIcon, {{16, 0xFFFFFFF0u, 0x20}}), IconFileKind::kIcon,
                                     32, image));
    std::string cutDirectory = IconFile(IconFileKind::kIcon, {{16, 40, 10}});
    cutDirectory.resize(12);
    EXPECT_FALSE(ChooseIconFileImage(cutDirectory, IconFileKind::kIcon, 32, image));
}

// A PNG inside an icon is decoded at the size its own header declares.
TEST(PictureFileLayoutTest, WholeIconFilesDeclareNoImageBeyondTheLimits) {
    std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    for (uint32_t side : {100000u, 100000u}) {
        for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<char>(side >> shift));
    }
    png += std::string("\x08\x06\0\0\0", 5);
    std::string huge = IconFile(IconFileKind::kIcon, {{32, 40, 10}, {0, 60, static_cast<uint32_t>(png.size())}});
    huge.replace(60, png.size(), png);
    EXPECT_FALSE(IsWholeIconFile(huge, IconFileKind::kIcon));
    const std::string fine = IconFile(IconFileKind::kCursor, {{32, 40, 10}});
    EXPECT_TRUE(IsWholeIconFile(fine, IconFileKind::kCursor));
    EXPECT_FALSE(IsWholeIconFile(fine, IconFileKind::kIcon));
    EXPECT_FALSE(IsWholeIconFile(IconFile(IconFileKind::kIcon, {{16, 190, 11}}), IconFileKind::kIcon));
}

}  // namespace
