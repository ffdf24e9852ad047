// A test Susie plug-in that declares PNG files and declines to decode any of
// them, standing first in a plug-in folder before one that would succeed.
#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

const char* const kInfoTexts[] = {"00IN", "Tovrik test plug-in that declines PNG", "*.png", "PNG"};

}  // namespace

extern "C" __declspec(dllexport) int __stdcall GetPluginInfo(int infoNumber, LPSTR buffer, int bufferLength) {
    if (infoNumber < 0 || infoNumber >= 4 || buffer == nullptr || bufferLength <= 0) return 0;
    const size_t length = std::min(std::strlen(kInfoTexts[infoNumber]), static_cast<size_t>(bufferLength) - 1);
    std::memcpy(buffer, kInfoTexts[infoNumber], length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

// 2: the Susie interface's "unknown format".
extern "C" __declspec(dllexport) int __stdcall GetPicture(LPCSTR, LONG, unsigned int, HLOCAL* bitmapInfo,
                                                          HLOCAL* bitmapBits, FARPROC, LONG) {
    if (bitmapInfo) *bitmapInfo = nullptr;
    if (bitmapBits) *bitmapBits = nullptr;
    return 2;
}
