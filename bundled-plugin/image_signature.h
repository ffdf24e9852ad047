// Recognising the formats the plug-in declares from the first bytes of a
// file, without decoding: IsSupported answers from it, and a decoder failure
// on bytes with a known signature is broken data rather than an unknown
// format.
#pragma once

#include <cstddef>

// Whether `head` starts with the signature of PNG, JPEG, GIF, BMP, TIFF,
// ICO, WebP, HEIF or JPEG XR. Never reads past `length`.
bool HasImageSignature(const unsigned char* head, size_t length);
