// The Susie plug-in interface for import filters, as this plug-in exports it
// and as a host calls it (Windows builds only). The exports are __stdcall and
// exported under their plain names.
#pragma once

#include <windows.h>

#pragma pack(push, 1)
struct PictureInfo {
    LONG left;
    LONG top;
    LONG width;
    LONG height;
    WORD x_density;
    WORD y_density;
    SHORT colorDepth;  // bits per pixel
    HLOCAL hInfo;      // text information, or null
};
#pragma pack(pop)
static_assert(sizeof(PictureInfo) == 22 + sizeof(HLOCAL), "PictureInfo is packed");

// Called with the progress so far as done / total; a non-zero return asks
// the plug-in to stop.
using SusieProgressCallback = int(__stdcall*)(int done, int total, LONG data);

// The low bits of the flags of GetPictureInfo and GetPicture: what `input` is.
constexpr unsigned int kSusieInputMask = 7;
constexpr unsigned int kSusieInputFile = 0;    // a file name; the length is the picture's offset in it
constexpr unsigned int kSusieInputMemory = 1;  // the picture itself; the length is its size

// IsSupported's second argument is a file handle when its high word is zero,
// otherwise the address of the file's first bytes.
constexpr size_t kSusieSupportHeadLength = 2048;

extern "C" {
int __stdcall GetPluginInfo(int infoNumber, LPSTR buffer, int bufferLength);
int __stdcall IsSupported(LPCSTR fileName, void* fileHandleOrHead);
int __stdcall GetPictureInfo(LPCSTR input, LONG length, unsigned int flags, PictureInfo* info);
int __stdcall GetPicture(LPCSTR input, LONG length, unsigned int flags, HLOCAL* bitmapInfo, HLOCAL* bitmapBits,
                         FARPROC progressCallback, LONG progressData);
}

using GetPluginInfoFunction = decltype(&GetPluginInfo);
using IsSupportedFunction = decltype(&IsSupported);
using GetPictureInfoFunction = decltype(&GetPictureInfo);
using GetPictureFunction = decltype(&GetPicture);
