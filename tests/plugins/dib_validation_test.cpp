#include "plugins/dib_validation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kBitFields = 3;

// A bitmap information block as a plug-in would hand it back: the header,
// then `extraBytes` of masks and colour table.
struct InfoBlock {
    uint32_t size = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = kRgb;
    uint32_t coloursUsed = 0;
    size_t extraBytes = 0;

    std::vector<unsigned char> Bytes() const {
        std::vector<unsigned char> bytes(40 + extraBytes, 0);
        Put32(bytes, 0, size);
        Put32(bytes, 4, static_cast<uint32_t>(width));
        Put32(bytes, 8, static_cast<uint32_t>(height));
        bytes[12] = static_cast<unsigned char>(planes);
        bytes[13] = static_cast<unsigned char>(planes >> 8);
        bytes[14] = static_cast<unsigned char>(bitCount);
        bytes[15] = static_cast<unsigned char>(bitCount >> 8);
        Put32(bytes, 16, compression);
        Put32(bytes, 32, coloursUsed);
        return bytes;
    }

    static void Put32(std::vector<unsigned char>& bytes, size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
    }
};

// The whole block, as LocalSize would report it.
bool Complete(const InfoBlock& block, uint64_t pixelBytes) {
    const std::vector<unsigned char> bytes = block.Bytes();
    return IsCompleteDib(bytes.data(), bytes.size(), pixelBytes);
}

InfoBlock Picture(int32_t width, int32_t height, uint16_t bitCount) {
    InfoBlock block;
    block.width = width;
    block.height = height;
    block.bitCount = bitCount;
    return block;
}

TEST(DibValidationTest, PixelBlockMustCoverEveryPaddedRow) {
    // 3 pixels of 24 bits are 9 bytes, padded to 12; two rows.
    EXPECT_TRUE(Complete(Picture(3, 2, 24), 24));
    EXPECT_TRUE(Complete(Picture(3, 2, 24), 4096));
    EXPECT_FALSE(Complete(Picture(3, 2, 24), 23));
    EXPECT_FALSE(Complete(Picture(3, 2, 24), 18));  // unpadded rows
    EXPECT_FALSE(Complete(Picture(3, 2, 24), 0));
    // 33 pixels of 1 bit take 5 bytes, padded to 8.
    InfoBlock mono = Picture(33, 3, 1);
    mono.extraBytes = 2 * 4;
    EXPECT_TRUE(Complete(mono, 24));
    EXPECT_FALSE(Complete(mono, 23));
    EXPECT_TRUE(Complete(Picture(5, 1, 32), 20));
    EXPECT_FALSE(Complete(Picture(5, 1, 32), 19));
}

TEST(DibValidationTest, TopDownRowsNeedTheSameBytes) {
    EXPECT_TRUE(Complete(Picture(3, -2, 24), 24));
    EXPECT_FALSE(Complete(Picture(3, -2, 24), 23));
}

TEST(DibValidationTest, WidthMustBePositiveAndHeightNonZero) {
    EXPECT_FALSE(Complete(Picture(0, 1, 24), 4096));
    EXPECT_FALSE(Complete(Picture(-1, 1, 24), 4096));
    EXPECT_FALSE(Complete(Picture(std::numeric_limits<int32_t>::min(), 1, 24), 4096));
    EXPECT_FALSE(Complete(Picture(1, 0, 24), 4096));
}

TEST(DibValidationTest, HeaderMustBeWholeAndOfTheInfoHeaderFamily) {
    const std::vector<unsigned char> whole = Picture(1, 1, 24).Bytes();
    // Each cut block is a copy of exactly that length, so a read past it
    // shows under AddressSanitizer.
    for (size_t length = 0; length < 40; ++length) {
        const std::vector<unsigned char> cut(whole.begin(), whole.begin() + length);
        EXPECT_FALSE(IsCompleteDib(cut.data(), cut.size(), 4096)) << length;
    }
    EXPECT_FALSE(IsCompleteDib(nullptr, 40, 4096));

    InfoBlock core = Picture(1, 1, 24);
    core.size = 12;  // BITMAPCOREHEADER: other field widths
    EXPECT_FALSE(Complete(core, 4096));
    InfoBlock overlong = Picture(1, 1, 24);
    overlong.size = 41;  // announces more header than the block holds
    EXPECT_FALSE(Complete(overlong, 4096));
    overlong.extraBytes = 1;
    EXPECT_TRUE(Complete(overlong, 4096));
    InfoBlock v5 = Picture(1, 1, 24);
    v5.size = 124;
    v5.extraBytes = 84;
    EXPECT_TRUE(Complete(v5, 4));
    v5.extraBytes = 83;
    EXPECT_FALSE(Complete(v5, 4));
    InfoBlock huge = Picture(1, 1, 24);
    huge.size = std::numeric_limits<uint32_t>::max();
    EXPECT_FALSE(Complete(huge, 4096));
}

TEST(DibValidationTest, OnlyUncompressedDepthsGdiKnowsWithOnePlane) {
    for (uint16_t bits : {1, 4, 8}) {
        InfoBlock block = Picture(1, 1, bits);
        block.extraBytes = (size_t{1} << bits) * 4;
        EXPECT_TRUE(Complete(block, 4)) << bits;
    }
    EXPECT_TRUE(Complete(Picture(1, 1, 16), 4));
    for (uint16_t bits : {0, 2, 7, 15, 48, 64}) EXPECT_FALSE(Complete(Picture(1, 1, bits), 4096)) << bits;
    InfoBlock planes = Picture(1, 1, 24);
    planes.planes = 2;
    EXPECT_FALSE(Complete(planes, 4096));
    InfoBlock rle = Picture(1, 1, 8);
    rle.compression = kRle8;
    rle.extraBytes = 256 * 4;
    EXPECT_FALSE(Complete(rle, 4096));
    InfoBlock png = Picture(1, 1, 24);
    png.compression = 5;  // BI_PNG
    EXPECT_FALSE(Complete(png, 4096));
}

TEST(DibValidationTest, PaletteMustBeThere) {
    InfoBlock full = Picture(4, 4, 8);
    full.extraBytes = 256 * 4;
    EXPECT_TRUE(Complete(full, 16));
    full.extraBytes = 256 * 4 - 1;
    EXPECT_FALSE(Complete(full, 16));

    InfoBlock counted = Picture(4, 4, 8);
    counted.coloursUsed = 2;
    counted.extraBytes = 2 * 4;
    EXPECT_TRUE(Complete(counted, 16));
    counted.extraBytes = 1 * 4;
    EXPECT_FALSE(Complete(counted, 16));

    InfoBlock four = Picture(8, 1, 4);
    four.extraBytes = 15 * 4;
    EXPECT_FALSE(Complete(four, 4));
    four.extraBytes = 16 * 4;
    EXPECT_TRUE(Complete(four, 4));
}

// The helper hands over exactly what MeasureDib counts.
TEST(DibValidationTest, MeasureCountsHeaderMasksAndPaletteAndThePaddedRows) {
    const auto measure = [](const InfoBlock& block) {
        const std::vector<unsigned char> bytes = block.Bytes();
        DibSizes sizes;
        EXPECT_TRUE(MeasureDib(bytes.data(), bytes.size(), sizes));
        return std::make_pair(sizes.infoBytes, sizes.pixelBytes);
    };
    InfoBlock palette = Picture(3, 2, 8);
    palette.extraBytes = 256 * 4 + 100;  // more than the palette: not counted
    EXPECT_EQ(measure(palette), std::make_pair(uint64_t{40 + 256 * 4}, uint64_t{8}));
    InfoBlock counted = Picture(3, -2, 4);
    counted.coloursUsed = 3;
    counted.extraBytes = 3 * 4;
    EXPECT_EQ(measure(counted), std::make_pair(uint64_t{40 + 3 * 4}, uint64_t{8}));
    InfoBlock fields = Picture(5, 1, 16);
    fields.compression = kBitFields;
    fields.extraBytes = 12;
    EXPECT_EQ(measure(fields), std::make_pair(uint64_t{52}, uint64_t{12}));
    EXPECT_EQ(measure(Picture(3, 2, 24)), std::make_pair(uint64_t{40}, uint64_t{24}));
}

TEST(DibValidationTest, MoreColoursThanTheDepthHoldsAreRefused) {
    InfoBlock mono = Picture(1, 1, 1);
    mono.coloursUsed = 3;
    mono.extraBytes = 3 * 4;
    EXPECT_FALSE(Complete(mono, 4));
    InfoBlock many = Picture(1, 1, 8);
    many.coloursUsed = 0xFFFFFFFF;
    many.extraBytes = 256 * 4;
    EXPECT_FALSE(Complete(many, 4));
}

TEST(DibValidationTest, DeepPicturesMayCarryAColourTableTooAndItMustBeThere) {
    InfoBlock deep = Picture(1, 1, 24);
    deep.coloursUsed = 16;
    deep.extraBytes = 16 * 4;
    EXPECT_TRUE(Complete(deep, 4));
    deep.extraBytes = 16 * 4 - 1;
    EXPECT_FALSE(Complete(deep, 4));
    deep.coloursUsed = 257;
    deep.extraBytes = 257 * 4;
    EXPECT_FALSE(Complete(deep, 4));
}

TEST(DibValidationTest, BitFieldsNeedTheirMasks) {
    InfoBlock fields = Picture(2, 2, 32);
    fields.compression = kBitFields;
    fields.extraBytes = 12;
    EXPECT_TRUE(Complete(fields, 16));
    fields.extraBytes = 11;
    EXPECT_FALSE(Complete(fields, 16));
    fields.bitCount = 16;
    fields.extraBytes = 12;
    EXPECT_TRUE(Complete(fields, 8));
    EXPECT_FALSE(Complete(fields, 7));
    fields.bitCount = 24;
    EXPECT_FALSE(Complete(fields, 4096));
    fields.bitCount = 8;
    fields.extraBytes = 12 + 256 * 4;
    EXPECT_FALSE(Complete(fields, 4096));

    // A version 4 or 5 header holds the masks itself.
    InfoBlock v4 = Picture(2, 2, 32);
    v4.compression = kBitFields;
    v4.size = 108;
    v4.extraBytes = 68;
    EXPECT_TRUE(Complete(v4, 16));
}

TEST(DibValidationTest, SizesBeyondThirtyTwoBitsAreWorkedOutWhole) {
    // 70000 x 70000 at 32 bits is 19,600,000,000 bytes; its low 32 bits
    // alone would ask for 2,715,098,112.
    const uint64_t needed = 70000ull * 70000ull * 4ull;
    EXPECT_TRUE(Complete(Picture(70000, 70000, 32), needed));
    EXPECT_FALSE(Complete(Picture(70000, 70000, 32), needed - 1));
    EXPECT_FALSE(Complete(Picture(70000, 70000, 32), needed & 0xFFFFFFFFull));
    EXPECT_FALSE(Complete(Picture(70000, -70000, 32), needed & 0xFFFFFFFFull));

    const int32_t widest = std::numeric_limits<int32_t>::max();
    const uint64_t widestRow = static_cast<uint64_t>(widest) * 4;
    EXPECT_TRUE(Complete(Picture(widest, 1, 32), widestRow));
    EXPECT_FALSE(Complete(Picture(widest, 1, 32), widestRow - 1));
}

TEST(DibValidationTest, LargestPictureAHeaderCanDescribeIsWorkedOutWithoutWrapping) {
    // 8,589,934,588 bytes a row times 2^31 rows: just below 2^64.
    const int32_t widest = std::numeric_limits<int32_t>::max();
    const uint64_t needed = 8589934588ull * 2147483648ull;
    EXPECT_TRUE(Complete(Picture(widest, std::numeric_limits<int32_t>::min(), 32), needed));
    EXPECT_FALSE(Complete(Picture(widest, std::numeric_limits<int32_t>::min(), 32), needed - 1));
    EXPECT_FALSE(Complete(Picture(widest, widest, 32), needed & 0xFFFFFFFFull));
}

}  // namespace
