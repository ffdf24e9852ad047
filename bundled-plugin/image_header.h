// A picture's size and channels, read from its header without decoding the
// pixels; IsSupported answers from the same reading.
#pragma once

#include <cstddef>

struct ImageHeader {
    int width = 0;
    int height = 0;
    int channels = 0;  // as stored: 1 grey, 2 grey and alpha, 3 colour, 4 colour and alpha
};

// Reads the size from the picture's header without decoding the pixels.
// Returns a SusieResult: success, unknown format, or broken data when the
// bytes carry a known signature but no readable header.
int ReadImageHeader(const unsigned char* bytes, size_t length, ImageHeader& header);

// Whether IsSupported should claim a file: a known signature, or a Targa
// header (a format without a signature) in a file whose name ends in ".tga".
// `fileName` may be null.
bool IsSupportedHead(const unsigned char* head, size_t length, const char* fileName);
