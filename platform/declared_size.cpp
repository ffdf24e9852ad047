#include "platform/declared_size.h"

#include <cstring>

namespace {

// Bounds-checked reading of a byte range.
class Bytes {
public:
    Bytes(const unsigned char* bytes, size_t length) : bytes_(bytes), length_(bytes ? length : 0) {}

    bool Has(size_t offset, size_t count) const { return offset <= length_ && count <= length_ - offset; }
    bool StartsWith(size_t offset, const char* magic, size_t count) const {
        return Has(offset, count) && std::memcmp(bytes_ + offset, magic, count) == 0;
    }
    unsigned U8(size_t offset) const { return bytes_[offset]; }
    uint32_t U16(size_t offset, bool bigEndian) const {
        return bigEndian ? (U8(offset) << 8 | U8(offset + 1)) : (U8(offset) | U8(offset + 1) << 8);
    }
    uint32_t U32(size_t offset, bool bigEndian) const {
        return bigEndian ? (U16(offset, true) << 16 | U16(offset + 2, true))
                         : (U16(offset, false) | U16(offset + 2, false) << 16);
    }
    Bytes From(size_t offset) const { return Bytes(bytes_ + offset, length_ - offset); }
    size_t length() const { return length_; }

private:
    const unsigned char* bytes_;
    size_t length_;
};

bool PngBeyondLimits(const Bytes& png) {
    if (!png.Has(0, 24) || !png.StartsWith(12, "IHDR", 4)) return false;
    return !WithinDecodeLimits(png.U32(16, true), png.U32(20, true));
}

// GIF data sub-blocks: a length byte, that many bytes, until a zero length.
// Returns the offset after them, or 0 when they run past the end.
size_t SkipSubBlocks(const Bytes& gif, size_t at) {
    while (gif.Has(at, 1)) {
        const unsigned length = gif.U8(at);
        at += 1 + length;
        if (length == 0) return at;
    }
    return 0;
}

size_t ColourTableBytes(unsigned flags) { return (flags & 0x80) ? 3u << ((flags & 7) + 1) : 0; }

// Some decoders decode every frame as they open the file: the frames
// together are held to the pixel limit, as well as each alone.
bool GifBeyondLimits(const Bytes& gif) {
    if (!gif.Has(0, 13)) return false;
    if (!WithinDecodeLimits(gif.U16(6, false), gif.U16(8, false))) return true;
    uint64_t framePixels = 0;
    size_t at = 13 + ColourTableBytes(gif.U8(10));
    while (gif.Has(at, 1)) {
        const unsigned introducer = gif.U8(at);
        if (introducer == 0x2C) {  // an image: its own size, then its pixels
            if (!gif.Has(at, 11)) return false;
            const uint64_t width = gif.U16(at + 5, false), height = gif.U16(at + 7, false);
            framePixels += width * height;
            if (!WithinDecodeLimits(width, height) || framePixels > kMaxImagePixels) return true;
            at = SkipSubBlocks(gif, at + 10 + ColourTableBytes(gif.U8(at + 9)) + 1);
        } else if (introducer == 0x21) {  // an extension: its label, then sub-blocks
            at = SkipSubBlocks(gif, at + 2);
        } else {
            return false;  // the trailer, or bytes no GIF has
        }
        if (at == 0) return false;
    }
    return false;
}

bool IsJpegFrameMarker(unsigned marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool IsJpegStandaloneMarker(unsigned marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);  // TEM, RST0-7, SOI
}

// Steps from marker to marker as decoders do: whatever stands between
// segments is skipped up to the next 0xFF, fill bytes (more 0xFF) and a
// stuffed 0xFF 0x00 are passed over, and a segment length below 2 moves on
// by 2. Giving up where a decoder reads on would let its frame header pass.
bool JpegBeyondLimits(const Bytes& jpeg) {
    size_t at = 2;
    for (;;) {
        while (jpeg.Has(at, 1) && jpeg.U8(at) != 0xFF) ++at;
        while (jpeg.Has(at + 1, 1) && jpeg.U8(at + 1) == 0xFF) ++at;
        if (!jpeg.Has(at, 2)) return false;
        const unsigned marker = jpeg.U8(at + 1);
        if (marker == 0xD9 || marker == 0xDA) return false;  // the scans start: no frame header came
        if (marker == 0x00 || IsJpegStandaloneMarker(marker)) {
            at += 2;
            continue;
        }
        if (IsJpegFrameMarker(marker)) {
            if (!jpeg.Has(at, 9)) return false;
            return !WithinDecodeLimits(jpeg.U16(at + 7, true), jpeg.U16(at + 5, true));
        }
        if (!jpeg.Has(at, 4)) return false;
        const uint32_t length = jpeg.U16(at + 2, true);
        at += 2 + (length < 2 ? 2 : length);
    }
}

uint64_t Magnitude(uint32_t bits) {
    const int64_t value = static_cast<int32_t>(bits);
    return static_cast<uint64_t>(value < 0 ? -value : value);
}

// A device-independent bitmap's header: a core header of 16-bit sizes, or
// one of the info header family with signed sizes (a negative height runs
// top-down; a negative width is no bitmap, and counts by its magnitude).
bool DibBeyondLimits(const Bytes& dib, bool heightCountsTheMask) {
    if (!dib.Has(0, 12)) return false;
    const uint32_t headerSize = dib.U32(0, false);
    uint64_t width = 0, height = 0;
    if (headerSize == 12) {
        width = dib.U16(4, false);
        height = dib.U16(6, false);
    } else if (headerSize >= 40) {
        width = Magnitude(dib.U32(4, false));
        height = Magnitude(dib.U32(8, false));
    }
    // An icon's bitmap counts its mask in the height.
    if (heightCountsTheMask) height /= 2;
    return !WithinDecodeLimits(width, height);
}

// Decoders take the first of duplicate width or height entries; another
// reader may take the last, so the largest of them counts. A size of any
// type but SHORT or LONG is refused: what a decoder makes of it is unknown.
bool TiffBeyondLimits(const Bytes& tiff) {
    if (!tiff.Has(0, 8)) return false;
    const bool bigEndian = tiff.U8(0) == 'M';
    const uint32_t directory = tiff.U32(4, bigEndian);
    if (!tiff.Has(directory, 2)) return false;
    const uint32_t entries = tiff.U16(directory, bigEndian);
    uint64_t width = 0, height = 0;
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t entry = directory + 2 + size_t{12} * i;
        if (!tiff.Has(entry, 12)) break;
        const uint32_t tag = tiff.U16(entry, bigEndian);
        const uint32_t type = tiff.U16(entry + 2, bigEndian);
        if (tag != 256 && tag != 257) continue;
        if (type != 3 && type != 4) return true;
        // One value, held in the entry itself.
        const uint64_t value = type == 3 ? tiff.U16(entry + 8, bigEndian) : tiff.U32(entry + 8, bigEndian);
        uint64_t& side = tag == 256 ? width : height;
        if (value > side) side = value;
    }
    return !WithinDecodeLimits(width, height);
}

// Every image of an icon or cursor directory: a loader may pick any of
// them, and some decode them all.
bool IconBeyondLimits(const Bytes& icon) {
    if (!icon.Has(0, 6)) return false;
    const uint32_t count = icon.U16(4, false);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = 6 + size_t{16} * i;
        if (!icon.Has(entry, 16)) return false;
        const uint32_t offset = icon.U32(entry + 12, false);
        if (!icon.Has(offset, 1)) continue;
        const Bytes image = icon.From(offset);
        if (image.StartsWith(0, "\x89PNG\r\n\x1a\n", 8) ? PngBeyondLimits(image) : DibBeyondLimits(image, true))
            return true;
    }
    return false;
}

}  // namespace

bool WithinDecodeLimits(uint64_t width, uint64_t height) {
    return width <= kMaxImageSide && height <= kMaxImageSide && width * height <= kMaxImagePixels;
}

bool DeclaresSizeBeyondLimits(const unsigned char* bytes, size_t length) {
    const Bytes file(bytes, length);
    if (file.StartsWith(0, "\x89PNG\r\n\x1a\n", 8)) return PngBeyondLimits(file);
    if (file.StartsWith(0, "GIF87a", 6) || file.StartsWith(0, "GIF89a", 6)) return GifBeyondLimits(file);
    if (file.StartsWith(0, "\xff\xd8", 2)) return JpegBeyondLimits(file);
    if (file.StartsWith(0, "BM", 2)) return file.Has(0, 14) && DibBeyondLimits(file.From(14), false);
    if (file.StartsWith(0, "II*\0", 4) || file.StartsWith(0, "MM\0*", 4)) return TiffBeyondLimits(file);
    if (file.StartsWith(0, "\0\0\1\0", 4) || file.StartsWith(0, "\0\0\2\0", 4)) return IconBeyondLimits(file);
    return false;
}
