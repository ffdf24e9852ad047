// A test Susie plug-in whose GetPluginInfo declares "*.png" and then faults
// when asked for its next filter. A host that kept what it said before the
// fault would send PNG files here, where GetPicture declines every one.
#include <windows.h>

#include "tests/e2e/test_plugin_info.h"

namespace {

const char* const kInfoTexts[] = {"00IN", "Tovrik test plug-in that faults in GetPluginInfo", "*.png", "PNG"};

}  // namespace

extern "C" __declspec(dllexport) int __stdcall GetPluginInfo(int infoNumber, LPSTR buffer, int bufferLength) {
    if (infoNumber == 4) {
        volatile int* nowhere = nullptr;
        return *nowhere;
    }
    return CopyPluginInfo(kInfoTexts, infoNumber, buffer, bufferLength);
}

extern "C" __declspec(dllexport) int __stdcall GetPicture(LPCSTR, LONG, unsigned int, HLOCAL* bitmapInfo,
                                                          HLOCAL* bitmapBits, FARPROC, LONG) {
    return DeclinePicture(bitmapInfo, bitmapBits);
}
