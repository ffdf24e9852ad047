// A dialog control's whole text, wide (Win32 builds only).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

inline std::wstring DialogItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
    GetWindowTextW(item, text.data(), static_cast<int>(text.size()));
    return text.data();
}
