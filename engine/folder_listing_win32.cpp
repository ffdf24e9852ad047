#include "engine/folder_listing.h"

#include <windows.h>

#include "engine/file_information_win32.h"
#include "platform/wide_path.h"

namespace {

// The find data of a link describes the link itself; the walk wants what it
// leads to, as a status query by path reports it.
bool QueryLinkTarget(const std::wstring& path, FolderEntry& entry) {
    UniqueHandle handle = OpenForQuery(path);
    BY_HANDLE_FILE_INFORMATION info;
    if (!handle || !GetFileInformationByHandle(handle.get(), &info)) return false;
    entry.isFolder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.size = static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    // The handle was open anyway: the walk's cycle check needs no second one.
    entry.identityKnown = true;
    entry.identity = IdentityOf(handle.get(), info);
    return true;
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
        if (data.cFileName[0] == L'.') {
            // Skipped by the walk anyway, which must know it by its real name:
            // the 8.3 name of ".café" starts with no dot.
            if (NarrowFromWideExactly(data.cFileName, entry.name)) entries.push_back(std::move(entry));
            continue;
        }
        // A name that code page 932 cannot hold is reached through its 8.3
        // name, which opens the same file; without one the entry is left out.
        if (!NarrowEntryName(widePrefix, data.cFileName, entry.name)) continue;
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
