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

// A 2 x 2, 24-bit bitmap file: 14 + 40 header bytes, two rows of 8 bytes.
std::string BitmapFile() {
    std::string file = "BM";
    PutU32(file, 14 + 40 + 16);
    PutU32(file, 0);
    PutU32(file, 14 + 40);
    for (uint32_t value : {40u, 2u, 2u}) PutU32(file, value);
    PutU16(file, 1);
    PutU16(file, 24);
    for (int i = 0; i < 6; ++i) PutU32(file, 0);
    file.append(16, '\x7f');
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

}  // namespace
