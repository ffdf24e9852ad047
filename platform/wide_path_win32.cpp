#include "platform/wide_path.h"

#include <windows.h>

#include "platform/wide_text.h"

namespace {

// "\\?\" paths are taken literally, so the doubled separators that a drive
// root's prefix produces ("C:\\name") must be folded first.
std::wstring FoldSeparators(const std::wstring& path, size_t from) {
    std::wstring folded = path.substr(0, from);
    for (size_t i = from; i < path.size(); ++i) {
        wchar_t c = path[i] == L'/' ? L'\\' : path[i];
        if (c == L'\\' && !folded.empty() && folded.back() == L'\\' && folded.size() > from) continue;
        folded.push_back(c);
    }
    return folded;
}

// True when a name of the path ends in a space or a dot, which the system's
// normalisation drops: only the "\\?\" form opens that very name.
bool HasNameThatNormalisationChanges(const std::wstring& path) {
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != L'\\' && path[i] != L'/') continue;
        const std::wstring name = path.substr(start, i - start);
        if (!name.empty() && name != L"." && name != L".." && (name.back() == L' ' || name.back() == L'.')) return true;
        start = i + 1;
    }
    return false;
}

}  // namespace

std::wstring WidePathFromUtf8(const std::string& path) { return WidePathForAnyLength(WideFromUtf8(path)); }

std::wstring NormalFormOf(const std::wstring& wide) {
    if (wide.empty()) return std::wstring();
    const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0) return std::wstring();
    std::wstring normal(length, L'\0');
    normal.resize(GetFullPathNameW(wide.c_str(), length, &normal[0], nullptr));
    return normal;
}

std::wstring WidePathForAnyLength(const std::wstring& wide) {
    if (wide.compare(0, 4, L"\\\\?\\") == 0) return wide;
    // Folders must leave room for an 8.3 name below MAX_PATH.
    if (wide.size() < MAX_PATH - 12 && !HasNameThatNormalisationChanges(wide)) return wide;
    if (wide.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + FoldSeparators(wide.substr(2), 0);
    return L"\\\\?\\" + FoldSeparators(wide, 0);
}

std::wstring ShortPathOf(const std::wstring& path) {
    const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (length == 0) return std::wstring();
    std::wstring shortPath(length, L'\0');
    shortPath.resize(GetShortPathNameW(path.c_str(), &shortPath[0], length));
    return shortPath;
}
