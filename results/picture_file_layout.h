// Where the picture lies in the bytes of a .bmp, .ico or .cur file read
// whole. Every offset and length is checked against the file, so that a
// damaged file gives no picture rather than a read past its end.
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
