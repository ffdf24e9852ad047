// Checks of the two blocks that a plug-in's GetPicture hands back before
// they reach CreateDIBitmap, which trusts the header blindly and reads as
// many colour-table entries and pixel rows as it announces. The blocks come
// from a foreign DLL: a wrong header would make GDI read past them.
#pragma once

#include <cstdint>

// True when `info` (infoBytes long) starts with a BITMAPINFOHEADER, or a
// larger header of that family, that describes an uncompressed picture
// (BI_RGB, or BI_BITFIELDS at 16 or 32 bits per pixel) of positive width and
// non-zero height (negative: rows run top-down), one plane and 1, 4, 8, 16,
// 24 or 32 bits per pixel; when the block also holds the three colour masks
// of BI_BITFIELDS and the colour table (biClrUsed entries, or for 8 bits per
// pixel and fewer the whole palette when biClrUsed is 0); and when
// `pixelBytes` covers every row, each padded to a multiple of 4 bytes. Sizes
// are worked out in 64 bits, where the largest picture a header can describe
// still fits. Nothing past `infoBytes` is read.
bool IsCompleteDib(const unsigned char* info, uint64_t infoBytes, uint64_t pixelBytes);

// What a bitmap information block that passes the checks above describes:
// the bytes of its header, masks and colour table, and the bytes of pixels
// it needs.
struct DibSizes {
    uint64_t infoBytes = 0;
    uint64_t pixelBytes = 0;
};

// The same checks but the pixels' size, which it reports instead; false
// (sizes unspecified) where IsCompleteDib would be false for any pixel block.
bool MeasureDib(const unsigned char* info, uint64_t infoBytes, DibSizes& sizes);
