#include "results/cp932_from_utf16.h"

#include <windows.h>

std::string Cp932FromUtf16Unit(char16_t unit) {
    const wchar_t wide = static_cast<wchar_t>(unit);
    char bytes[4];
    // Without the used-default flag the system would hand back "?" for a
    // character it cannot map, and without WC_NO_BEST_FIT_CHARS a look-alike;
    // the preview shows neither.
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, sizeof bytes, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return std::string();
    return std::string(bytes, static_cast<size_t>(length));
}
