// Recognising the formats the decoder reads from the first bytes of a file,
// without decoding: IsSupported answers from them, and a decode that fails
// on bytes with a known signature is broken data rather than an unknown
// format.
#pragma once

#include <cstddef>

// Whether `head` starts with the signature of PNG, JPEG, GIF, BMP, PSD,
// Radiance HDR, Softimage PIC or binary PPM/PGM. Never reads past `length`.
bool HasImageSignature(const unsigned char* head, size_t length);

// Whether IsSupported should claim a file: a known signature, or a Targa
// header (a format without a signature) in a file whose name ends in ".tga".
// `fileName` may be null.
bool IsSupportedHead(const unsigned char* head, size_t length, const char* fileName);
