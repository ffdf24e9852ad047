// Where the picture lies in the bytes of a .bmp, .ico or .cur file read
// whole, and whether the file is whole. Every offset and length is checked
// against the file, so that a damaged file gives no picture rather than a
// read past its end, and every declared size against the picture limits,
// so that a header of a few bytes cannot make the loader take gigabytes.
#pragma once

#include <cstddef>
#include <string>

struct ByteRange {
    size_t offset = 0;
    size_t length = 0;
};

// A bitmap file's BITMAPINFO block (header, masks, colour table) and its
// pixels. False unless the file starts with "BM" and the picture is one
// that IsCompleteDib accepts.
bool LocateBitmapFileParts(const std::string& file, ByteRange& info, ByteRange& pixels);

// True when a bitmap file holds every pixel byte its header announces and
// declares a size within the limits: an uncompressed picture that
// LocateBitmapFileParts finds, a run-length encoded one with all of its
// compressed bytes, or one with the old 12-byte core header.
bool IsWholeBitmapFile(const std::string& file);

enum class IconFileKind { kIcon = 1, kCursor = 2 };

struct IconFileImage {
    ByteRange bytes;  // the image: a BITMAPINFOHEADER with its pixels and mask, or a PNG
    int width = 0;
    int height = 0;
    int hotspotX = 0;  // cursors only
    int hotspotY = 0;
};

// Of the images an icon or cursor file holds, the first whose width is
// nearest `standardWidth` (the size it will be drawn at). False when the
// file is not of `kind` or names an image beyond its end.
bool ChooseIconFileImage(const std::string& file, IconFileKind kind, int standardWidth, IconFileImage& image);

// True when the file is an icon or cursor file of `kind` whose every image
// lies within it and declares a size within the limits.
bool IsWholeIconFile(const std::string& file, IconFileKind kind);
