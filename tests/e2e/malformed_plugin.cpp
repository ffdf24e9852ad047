// A test Susie plug-in that declares "*.mal" and answers GetPicture with
// blocks shaped by the file's first word: "good" gives a correct 4 x 4
// picture of solid teal, "same-block" that picture in one block handed over
// as both, every other word a result whose header does not match its
// blocks. A host that trusted them would have GDI read past the
// blocks.
#include <windows.h>

#include "tests/e2e/test_plugin_info.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const kInfoTexts[] = {"00IN", "Tovrik test plug-in with malformed results", "*.mal", "Malformed"};

struct Result {
    int infoBytes;
    int pixelBytes;
    LONG width;
    LONG height;
    WORD bitCount;
    DWORD coloursUsed;
};

bool ResultFor(const std::string& word, Result& result) {
    if (word == "good") result = {sizeof(BITMAPINFOHEADER), 4 * 4 * 4, 4, 4, 32, 0};
    else if (word == "negative-width") result = {sizeof(BITMAPINFOHEADER), 16, -1, 4, 32, 0};
    else if (word == "zero-height") result = {sizeof(BITMAPINFOHEADER), 16, 4, 0, 32, 0};
    else if (word == "short-pixels") result = {sizeof(BITMAPINFOHEADER), 16, 64, 64, 32, 0};
    else if (word == "short-header") result = {20, 4 * 4 * 4, 4, 4, 32, 0};
    else if (word == "short-palette") result = {sizeof(BITMAPINFOHEADER) + 4 * 4, 4 * 4, 4, 4, 8, 0};
    else if (word == "huge-palette") result = {sizeof(BITMAPINFOHEADER) + 4 * 4, 4 * 4, 4, 4, 8, 100000};
    else return false;
    return true;
}

}  // namespace

extern "C" __declspec(dllexport) int __stdcall GetPluginInfo(int infoNumber, LPSTR buffer, int bufferLength) {
    return CopyPluginInfo(kInfoTexts, infoNumber, buffer, bufferLength);
}

extern "C" __declspec(dllexport) int __stdcall GetPicture(LPCSTR input, LONG, unsigned int flags, HLOCAL* bitmapInfo,
                                                          HLOCAL* bitmapBits, FARPROC, LONG) {
    Result result;
    const std::string word = FirstWord(input);
    if (word == "same-block") {
        // Header and pixels in one block, large enough for either.
        auto* block = static_cast<BITMAPINFOHEADER*>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, 40 + 4 * 4 * 4));
        *block = BITMAPINFOHEADER{sizeof *block, 4, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        *bitmapInfo = block;
        *bitmapBits = block;
        return 0;
    }
    if ((flags & 7) != 0 || !ResultFor(word, result)) return 2;
    auto* info = static_cast<unsigned char*>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, result.infoBytes));
    auto* bits = static_cast<unsigned char*>(LocalAlloc(LMEM_FIXED, result.pixelBytes));
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = result.width;
    header.biHeight = result.height;
    header.biPlanes = 1;
    header.biBitCount = result.bitCount;
    header.biCompression = BI_RGB;
    header.biClrUsed = result.coloursUsed;
    std::memcpy(info, &header, std::min<size_t>(sizeof header, result.infoBytes));
    for (int i = 0; i + 3 < result.pixelBytes; i += 4) {  // teal, as BGRX
        bits[i] = 0x80;
        bits[i + 1] = 0x80;
        bits[i + 2] = 0x00;
        bits[i + 3] = 0x00;
    }
    *bitmapInfo = info;
    *bitmapBits = bits;
    return 0;
}
