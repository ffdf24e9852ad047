#include "results/picture_file_layout.h"

#include <cstdint>
#include <cstdlib>

#include "platform/declared_size.h"
#include "plugins/dib_validation.h"

namespace {

constexpr size_t kBitmapFileHeaderBytes = 14;
constexpr size_t kIconDirectoryBytes = 6;
constexpr size_t kIconEntryBytes = 16;

uint32_t ReadU16(const std::string& bytes, size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

uint32_t ReadU32(const std::string& bytes, size_t at) { return ReadU16(bytes, at) | ReadU16(bytes, at + 2) << 16; }

// Within the file, computed without overflow.
bool FitsInFile(const std::string& file, uint64_t offset, uint64_t length) {
    return offset <= file.size() && length <= file.size() - offset;
}

bool DeclaresTooMuch(const std::string& file) {
    return DeclaresSizeBeyondLimits(reinterpret_cast<const unsigned char*>(file.data()), file.size());
}

uint64_t RowBytes(uint64_t width, uint32_t bitCount) { return (width * bitCount + 31) / 32 * 4; }

// The variants LocateBitmapFileParts leaves out, which the system's loader
// knows: run-length encoding (8 or 4 bits, its compressed size in the
// header) and the 12-byte core header (16-bit sizes, 3-byte palette).
bool IsWholeOtherBitmapFile(const std::string& file) {
    const size_t header = kBitmapFileHeaderBytes;
    if (!FitsInFile(file, 0, header + 12)) return false;
    const uint32_t pixelOffset = ReadU32(file, 10);
    const uint32_t headerSize = ReadU32(file, header);
    if (pixelOffset > file.size() || pixelOffset < uint64_t{header} + headerSize) return false;
    const uint64_t pixelBytes = file.size() - pixelOffset;
    if (headerSize == 12) {
        const uint32_t width = ReadU16(file, header + 4), height = ReadU16(file, header + 6);
        const uint32_t planes = ReadU16(file, header + 8), bitCount = ReadU16(file, header + 10);
        if (width == 0 || height == 0 || planes != 1) return false;
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return false;
        const uint64_t palette = bitCount <= 8 ? uint64_t{3} << bitCount : 0;
        return header + headerSize + palette <= pixelOffset && RowBytes(width, bitCount) * height <= pixelBytes;
    }
    if (headerSize < 40 || !FitsInFile(file, header, headerSize)) return false;
    const int32_t width = static_cast<int32_t>(ReadU32(file, header + 4));
    const int32_t height = static_cast<int32_t>(ReadU32(file, header + 8));
    const uint32_t bitCount = ReadU16(file, header + 14), compression = ReadU32(file, header + 16);
    const uint32_t compressedBytes = ReadU32(file, header + 20);
    const bool runLength = (compression == 1 && bitCount == 8) || (compression == 2 && bitCount == 4);
    return runLength && width > 0 && height > 0 && compressedBytes > 0 && compressedBytes <= pixelBytes;
}

}  // namespace

bool IsWholeBitmapFile(const std::string& file) {
    ByteRange info, pixels;
    if (DeclaresTooMuch(file)) return false;
    return LocateBitmapFileParts(file, info, pixels) || IsWholeOtherBitmapFile(file);
}

bool IsWholeIconFile(const std::string& file, IconFileKind kind) {
    IconFileImage image;
    // Choosing checks that every image lies within the file.
    return ChooseIconFileImage(file, kind, 0, image) && !DeclaresTooMuch(file);
}

bool LocateBitmapFileParts(const std::string& file, ByteRange& info, ByteRange& pixels) {
    if (file.size() < kBitmapFileHeaderBytes || file[0] != 'B' || file[1] != 'M') return false;
    const uint32_t pixelOffset = ReadU32(file, 10);
    if (pixelOffset < kBitmapFileHeaderBytes || pixelOffset > file.size()) return false;
    info = ByteRange{kBitmapFileHeaderBytes, pixelOffset - kBitmapFileHeaderBytes};
    pixels = ByteRange{pixelOffset, file.size() - pixelOffset};
    return IsCompleteDib(reinterpret_cast<const unsigned char*>(file.data()) + info.offset, info.length,
                         pixels.length);
}

bool ChooseIconFileImage(const std::string& file, IconFileKind kind, int standardWidth, IconFileImage& image) {
    if (file.size() < kIconDirectoryBytes || ReadU16(file, 0) != 0 || ReadU16(file, 2) != static_cast<uint32_t>(kind))
        return false;
    const size_t count = ReadU16(file, 4);
    if (count == 0 || !FitsInFile(file, kIconDirectoryBytes, uint64_t{kIconEntryBytes} * count)) return false;
    bool chosen = false;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = kIconDirectoryBytes + i * kIconEntryBytes;
        IconFileImage candidate;
        // A width or height byte of 0 stands for 256.
        candidate.width = static_cast<unsigned char>(file[entry]) ? static_cast<unsigned char>(file[entry]) : 256;
        candidate.height =
            static_cast<unsigned char>(file[entry + 1]) ? static_cast<unsigned char>(file[entry + 1]) : 256;
        candidate.hotspotX = static_cast<int>(ReadU16(file, entry + 4));
        candidate.hotspotY = static_cast<int>(ReadU16(file, entry + 6));
        const uint32_t length = ReadU32(file, entry + 8);
        const uint32_t offset = ReadU32(file, entry + 12);
        if (length == 0 || !FitsInFile(file, offset, length)) return false;
        candidate.bytes = ByteRange{offset, length};
        if (!chosen || std::abs(candidate.width - standardWidth) < std::abs(image.width - standardWidth)) {
            image = candidate;
            chosen = true;
        }
    }
    return chosen;
}
