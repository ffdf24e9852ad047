// Message boxes with the program's own code page 932 texts (Win32 builds
// only): the text and caption reach the system wide, whatever its locale.
#pragma once

#include <windows.h>

#include <string>

#include "platform/wide_text.h"

// `text` is wide already where it holds a path; the caption is one of the
// program's own texts.
inline int ShowMessageBox(HWND owner, const std::wstring& text, const char* caption, UINT type) {
    return MessageBoxW(owner, text.c_str(), WideFromCp932(caption).c_str(), type);
}

inline int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return ShowMessageBox(owner, WideFromCp932(text), caption, type);
}
