// A test Susie plug-in that declares "*.hos" and misbehaves in GetPicture as
// the file's first word says: "fault" reads address 0, "unfilter" first
// takes away the host's crash handling, as C runtimes do before they report
// a failed stack cookie, then faults; "leak" leaves nearly all the memory
// it can get committed (untouched) and answers with a good 4 x 4 red
// picture, which may show; "hang" never returns
// (after writing "<file>.entered", so that a test knows it is stuck),
// "flood" takes 3 GB of memory, 64 MB at a time and touching every page,
// and if it gets through (or the address space ends first) answers with a
// good 4 x 4 red picture, which a host must then never show.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/e2e/test_plugin_info.h"

namespace {

const char* const kInfoTexts[] = {"00IN", "Tovrik test plug-in that crashes, hangs or floods", "*.hos", "Hostile"};

void Flood() {
    const SIZE_T chunk = SIZE_T{64} << 20;
    for (int taken = 0; taken < 48; ++taken) {
        void* block = VirtualAlloc(nullptr, chunk, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!block) return;
        std::memset(block, 0x5a, chunk);
    }
}

// Commits 64 MB at a time until no more comes, then gives the last back:
// room for a small picture, none for a large one.
void Leak() {
    const SIZE_T chunk = SIZE_T{64} << 20;
    void* last = nullptr;
    for (int taken = 0; taken < 64; ++taken) {
        void* block = VirtualAlloc(nullptr, chunk, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!block) break;
        last = block;
    }
    if (last) VirtualFree(last, 0, MEM_RELEASE);
}

int RedPicture(HLOCAL* bitmapInfo, HLOCAL* bitmapBits) {
    auto* info = static_cast<BITMAPINFOHEADER*>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, sizeof(BITMAPINFOHEADER)));
    auto* bits = static_cast<unsigned char*>(LocalAlloc(LMEM_FIXED, 4 * 4 * 4));
    info->biSize = sizeof *info;
    info->biWidth = 4;
    info->biHeight = 4;
    info->biPlanes = 1;
    info->biBitCount = 32;
    for (int i = 0; i < 4 * 4 * 4; i += 4) {  // BGRX
        bits[i] = 0;
        bits[i + 1] = 0;
        bits[i + 2] = 0xFF;
        bits[i + 3] = 0;
    }
    *bitmapInfo = info;
    *bitmapBits = bits;
    return 0;
}

}  // namespace

extern "C" __declspec(dllexport) int __stdcall GetPluginInfo(int infoNumber, LPSTR buffer, int bufferLength) {
    return CopyPluginInfo(kInfoTexts, infoNumber, buffer, bufferLength);
}

extern "C" __declspec(dllexport) int __stdcall GetPicture(LPCSTR input, LONG, unsigned int flags, HLOCAL* bitmapInfo,
                                                          HLOCAL* bitmapBits, FARPROC, LONG) {
    if ((flags & 7) != 0) return 2;
    const std::string word = FirstWord(input);
    if (word == "unfilter") {
        SetUnhandledExceptionFilter(nullptr);
        SetErrorMode(0);
    }
    if (word == "fault" || word == "unfilter") {
        volatile int* nowhere = nullptr;
        return *nowhere;
    }
    if (word == "hang") {
        if (FILE* marker = std::fopen((std::string(input) + ".entered").c_str(), "wb")) std::fclose(marker);
        Sleep(INFINITE);
    }
    if (word == "flood") Flood();
    if (word == "leak") Leak();
    return RedPicture(bitmapInfo, bitmapBits);
}
