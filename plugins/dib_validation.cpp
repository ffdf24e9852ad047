#include "plugins/dib_validation.h"

#include <algorithm>

namespace {

constexpr uint64_t kInfoHeaderBytes = 40;
// Where BITMAPINFOHEADER ends, BI_BITFIELDS puts three DWORD masks; the
// larger headers of the family hold them inside.
constexpr uint64_t kBitFieldsHeaderBytes = kInfoHeaderBytes + 3 * 4;
constexpr uint64_t kColourEntryBytes = 4;  // RGBQUAD
constexpr uint32_t kMostColours = 256;
constexpr uint32_t kRgb = 0;        // BI_RGB
constexpr uint32_t kBitFields = 3;  // BI_BITFIELDS

struct DibHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t coloursUsed;
};

uint16_t ReadU16(const unsigned char* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

uint32_t ReadU32(const unsigned char* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// The block is little-endian whatever the host.
DibHeader ReadHeader(const unsigned char* info) {
    DibHeader header;
    header.size = ReadU32(info);
    header.width = static_cast<int32_t>(ReadU32(info + 4));
    header.height = static_cast<int32_t>(ReadU32(info + 8));
    header.planes = ReadU16(info + 12);
    header.bitCount = ReadU16(info + 14);
    header.compression = ReadU32(info + 16);
    header.coloursUsed = ReadU32(info + 32);
    return header;
}

bool IsPixelFormatKnown(const DibHeader& header) {
    switch (header.bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
        return header.compression == kRgb;
    case 16:
    case 32:
        return header.compression == kRgb || header.compression == kBitFields;
    default:
        return false;
    }
}

// The colour-table entries GDI reads after the header and masks; false for
// a count that no palette of this depth can have.
bool ColourTableEntries(const DibHeader& header, uint64_t& entries) {
    const uint32_t fullPalette = header.bitCount <= 8 ? 1u << header.bitCount : 0;
    if (header.coloursUsed == 0) {
        entries = fullPalette;
        return true;
    }
    if (header.coloursUsed > kMostColours || (fullPalette != 0 && header.coloursUsed > fullPalette)) return false;
    entries = header.coloursUsed;
    return true;
}

// Rows are padded to whole DWORDs. With a width below 2^31 and at most 32
// bits per pixel a row stays below 2^33 bytes, and 2^31 rows of it below
// 2^64: the product cannot wrap once the depth has been checked.
uint64_t PixelBytesNeeded(const DibHeader& header) {
    const uint64_t rowBytes = (static_cast<uint64_t>(header.width) * header.bitCount + 31) / 32 * 4;
    const uint64_t rows = header.height < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(header.height))
                                            : static_cast<uint64_t>(header.height);
    return rowBytes * rows;
}

}  // namespace

bool MeasureDib(const unsigned char* info, uint64_t infoBytes, DibSizes& sizes) {
    if (info == nullptr || infoBytes < kInfoHeaderBytes) return false;
    const DibHeader header = ReadHeader(info);
    if (header.size < kInfoHeaderBytes || header.width <= 0 || header.height == 0 || header.planes != 1 ||
        !IsPixelFormatKnown(header)) {
        return false;
    }
    uint64_t colourEntries = 0;
    if (!ColourTableEntries(header, colourEntries)) return false;
    const uint64_t headerBytes =
        header.compression == kBitFields ? std::max<uint64_t>(header.size, kBitFieldsHeaderBytes) : header.size;
    sizes.infoBytes = headerBytes + colourEntries * kColourEntryBytes;
    if (sizes.infoBytes > infoBytes) return false;
    sizes.pixelBytes = PixelBytesNeeded(header);
    return true;
}

bool IsCompleteDib(const unsigned char* info, uint64_t infoBytes, uint64_t pixelBytes) {
    DibSizes sizes;
    return MeasureDib(info, infoBytes, sizes) && pixelBytes >= sizes.pixelBytes;
}
