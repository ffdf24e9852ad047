#include "platform/wide_path.h"

#include <windows.h>

std::wstring WideFromNarrow(const std::string& narrow) {
    if (narrow.empty()) return std::wstring();
    int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), static_cast<int>(narrow.size()),
                                     nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), static_cast<int>(narrow.size()), &wide[0],
                        length);
    return wide;
}

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

std::wstring WidePathFromNarrow(const std::string& narrow) { return WidePathForAnyLength(WideFromNarrow(narrow)); }

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

bool NarrowFromWideExactly(const std::wstring& wide, std::string& narrow) {
    narrow.clear();
    if (wide.empty()) return true;
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                     nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return false;
    narrow.assign(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), &narrow[0], length,
                        nullptr, &usedDefault);
    // A round trip proves that the narrow name opens this very file.
    return !usedDefault && WideFromNarrow(narrow) == wide;
}

std::wstring ShortPathOf(const std::wstring& path) {
    const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (length == 0) return std::wstring();
    std::wstring shortPath(length, L'\0');
    shortPath.resize(GetShortPathNameW(path.c_str(), &shortPath[0], length));
    return shortPath;
}

bool NarrowEntryName(const std::wstring& widePrefix, const std::wstring& name, std::string& narrow) {
    if (NarrowFromWideExactly(name, narrow)) return true;
    const std::wstring shortPath = ShortPathOf(WidePathForAnyLength(widePrefix + name));
    const size_t slash = shortPath.find_last_of(L'\\');
    const std::wstring shortName = slash == std::wstring::npos ? shortPath : shortPath.substr(slash + 1);
    if (shortName.empty() || shortName == name) return false;
    return NarrowFromWideExactly(shortName, narrow);
}

bool NarrowPathThatOpens(const std::wstring& wide, std::string& narrow) {
    narrow.clear();
    // Each 8.3 name is asked of the real path up to it.
    std::wstring realPrefix;
    for (size_t start = 0;;) {
        size_t end = wide.find(L'\\', start);
        if (end == std::wstring::npos) end = wide.size();
        const std::wstring component = wide.substr(start, end - start);
        std::string part;
        if (!component.empty() && !NarrowEntryName(realPrefix, component, part)) return false;
        narrow += part;
        realPrefix += component;
        if (end == wide.size()) return true;
        narrow.push_back('\\');
        realPrefix.push_back(L'\\');
        start = end + 1;
    }
}

std::string NarrowForDisplay(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &narrow[0], length, nullptr, nullptr);
    return narrow;
}
