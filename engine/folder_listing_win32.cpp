#include "engine/folder_listing.h"

#include <windows.h>

#include "engine/file_information_win32.h"
#include "platform/wide_path.h"

namespace {

// The find data of a link describes the link itself; the walk wants what it
// leads to, as a status query by path reports it.
bool QueryLinkTarget(const std::wstring& path, FolderEntry& entry) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!QueryFileInformation(path, info)) return false;
    entry.isFolder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.size = static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    // The handle was open anyway: the walk's cycle check needs no second one.
    entry.identityKnown = true;
    entry.identity = IdentityOf(info);
    return true;
}

// A name that code page 932 cannot hold is reached through its 8.3 name,
// which opens the same file; without one the entry is left out.
bool NarrowEntryName(const std::wstring& widePrefix, const WIN32_FIND_DATAW& data, std::string& name) {
    if (NarrowFromWideExactly(data.cFileName, name)) return true;
    std::wstring fullPath = widePrefix + data.cFileName;
    DWORD length = GetShortPathNameW(fullPath.c_str(), nullptr, 0);
    if (length == 0) return false;
    std::wstring shortPath(length, L'\0');
    length = GetShortPathNameW(fullPath.c_str(), &shortPath[0], length);
    shortPath.resize(length);
    size_t slash = shortPath.find_last_of(L'\\');
    std::wstring shortName = slash == std::wstring::npos ? shortPath : shortPath.substr(slash + 1);
    if (shortName.empty() || shortName == data.cFileName) return false;
    return NarrowFromWideExactly(shortName, name);
}

}  // namespace

bool ListFolderEntries(const std::string& prefix, std::vector<FolderEntry>& entries) {
    entries.clear();
    std::wstring widePrefix = WidePathFromNarrow(prefix);
    if (widePrefix.empty()) return false;
    if (widePrefix.back() != L'\\') widePrefix.push_back(L'\\');
    std::wstring pattern = widePrefix + L"*";
    WIN32_FIND_DATAW data;
    UniqueFindHandle find = AdoptFindHandle(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                                             FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return false;
    do {
        FolderEntry entry;
        if (!NarrowEntryName(widePrefix, data, entry.name)) continue;
        if (entry.name[0] == '.') {
            entries.push_back(std::move(entry));
            continue;
        }
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            if (!QueryLinkTarget(widePrefix + data.cFileName, entry)) continue;
        } else {
            entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            entry.size =
                static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        }
        if (entry.isFolder) entry.size = 0;
        entries.push_back(std::move(entry));
    } while (FindNextFileW(find.get(), &data));
    return true;
}

bool IsListableFolder(const std::string& folder) {
    std::wstring wide = WidePathFromNarrow(folder);
    if (wide.empty()) return false;
    if (wide.back() != L'\\') wide.push_back(L'\\');
    wide += L"*";
    WIN32_FIND_DATAW data;
    return AdoptFindHandle(FindFirstFileW(wide.c_str(), &data)) != nullptr;
}
