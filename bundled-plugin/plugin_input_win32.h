// What the exports are given to read (Windows builds only): a picture in a
// file or in the host's memory, and the first bytes IsSupported looks at.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

#include "bundled-plugin/susie_interface.h"

// The bytes of the picture. For a file they are read into `owned`; for the
// host's memory they are the host's own block, which outlives the call.
struct PictureInput {
    std::unique_ptr<unsigned char[]> owned;
    const unsigned char* bytes = nullptr;
    size_t length = 0;
};

// Files larger than this are not read: no picture within the decode limits
// needs so much, even stored uncompressed.
constexpr LONGLONG kMaxPictureFileBytes = LONGLONG{512} << 20;

// Reads the picture that GetPictureInfo and GetPicture are given. Returns a
// SusieResult: read error for a file that cannot be opened or read or an
// offset outside it, out of memory for a file too large, internal error for
// a null input or a negative memory length, not implemented for an input
// kind other than file and memory.
int ReadPictureInput(LPCSTR input, LONG length, unsigned int flags, PictureInput& picture);

// Copies the first bytes of the file IsSupported is given into `head`
// (kSusieSupportHeadLength bytes); returns how many there are. A file
// handle is read from its current position, which is then restored.
size_t ReadSupportHead(void* fileHandleOrHead, unsigned char* head);
