// A test Susie plug-in that declares PNG files and declines to decode any of
// them, standing first in a plug-in folder before one that would succeed.
#include <windows.h>

#include "tests/e2e/test_plugin_info.h"

namespace {

const char* const kInfoTexts[] = {"00IN", "Tovrik test plug-in that declines PNG", "*.png", "PNG"};

}  // namespace

extern "C" __declspec(dllexport) int __stdcall GetPluginInfo(int infoNumber, LPSTR buffer, int bufferLength) {
    return CopyPluginInfo(kInfoTexts, infoNumber, buffer, bufferLength);
}

extern "C" __declspec(dllexport) int __stdcall GetPicture(LPCSTR, LONG, unsigned int, HLOCAL* bitmapInfo,
                                                          HLOCAL* bitmapBits, FARPROC, LONG) {
    return DeclinePicture(bitmapInfo, bitmapBits);
}
