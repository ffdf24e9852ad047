#include "platform/wide_text.h"

#include <windows.h>

#include "platform/utf8_text.h"

namespace {

constexpr UINT kCodePage932 = 932;

}  // namespace

std::wstring WideFromUtf8(std::string_view utf8) {
    const std::u16string utf16 = Utf16FromUtf8(utf8);
    return std::wstring(utf16.begin(), utf16.end());
}

std::string Utf8FromWide(std::wstring_view wide) {
    return Utf8FromUtf16(std::u16string(wide.begin(), wide.end()));
}

std::wstring WideFromCp932(std::string_view cp932) {
    if (cp932.empty()) return std::wstring();
    const int size = static_cast<int>(cp932.size());
    const int length = MultiByteToWideChar(kCodePage932, 0, cp932.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(kCodePage932, 0, cp932.data(), size, &wide[0], length);
    return wide;
}

bool Cp932FromWideExactly(std::wstring_view wide, std::string& cp932) {
    cp932.clear();
    if (wide.empty()) return true;
    const int size = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return false;
    cp932.assign(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, wide.data(), size, &cp932[0], length, nullptr,
                        &usedDefault);
    // The round trip proves that the narrow text stands for these very
    // characters and no look-alikes.
    return !usedDefault && WideFromCp932(cp932) == wide;
}

std::wstring WideFromCp932Format(std::string_view format, std::initializer_list<std::wstring_view> arguments) {
    std::wstring text;
    auto argument = arguments.begin();
    for (size_t from = 0;;) {
        const size_t mark = format.find("%s", from);
        if (mark == std::string_view::npos || argument == arguments.end()) {
            text += WideFromCp932(format.substr(from));
            return text;
        }
        text += WideFromCp932(format.substr(from, mark - from));
        text += *argument++;
        from = mark + 2;
    }
}
