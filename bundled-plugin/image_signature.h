// Recognising the formats the decoder reads from the first bytes of a file,
// without decoding: a header that fails to read on bytes with a known
// signature is broken data rather than an unknown format.
#pragma once

#include <cstddef>

// Whether `head` starts with the signature of PNG, JPEG, GIF, BMP, PSD,
// Radiance HDR, Softimage PIC or binary PPM/PGM. Never reads past `length`.
bool HasImageSignature(const unsigned char* head, size_t length);
