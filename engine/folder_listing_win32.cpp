#include "engine/folder_listing.h"

#include <windows.h>

#include "engine/file_information_win32.h"
#include "engine/listed_entry.h"
#include "platform/wide_path.h"

namespace {

// The find data of a link describes the link itself; the walk wants what it
// leads to, as a status query by path reports it.
bool QueryLinkTarget(const std::wstring& path, FolderEntry& entry) {
    UniqueHandle handle = OpenForQuery(path);
    BY_HANDLE_FILE_INFORMATION info;
    if (!handle || !GetFileInformationByHandle(handle.get(), &info)) return false;
    entry.isFolder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.size = entry.isFolder ? 0
                                : static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) |
                                                       info.nFileSizeLow);
    // The handle was open anyway: the walk's cycle check needs no second one.
    entry.identityKnown = true;
    entry.identity = IdentityOf(handle.get(), info);
    return true;
}

ListedEntry ListedFromFindData(const WIN32_FIND_DATAW& data) {
    ListedEntry listed;
    listed.name.assign(data.cFileName, data.cFileName + wcslen(data.cFileName));
    listed.shortName.assign(data.cAlternateFileName, data.cAlternateFileName + wcslen(data.cAlternateFileName));
    listed.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    listed.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    listed.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return listed;
}

std::wstring SearchPattern(const std::string& folder) {
    std::wstring pattern = WidePathFromUtf8(folder);
    if (pattern.empty()) return pattern;
    if (pattern.back() != L'\\') pattern.push_back(L'\\');
    return pattern + L"*";
}

}  // namespace

bool ListFolderEntries(const std::string& prefix, std::vector<FolderEntry>& entries) {
    entries.clear();
    const std::wstring pattern = SearchPattern(prefix);
    if (pattern.empty()) return false;
    const std::wstring widePrefix = pattern.substr(0, pattern.size() - 1);
    WIN32_FIND_DATAW data;
    UniqueFindHandle find = AdoptFindHandle(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                                             FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return false;
    do {
        const ListedEntry listed = ListedFromFindData(data);
        FolderEntry entry = FolderEntryFromListing(listed);
        // Names starting with "." are skipped by the walk; their links need
        // no query.
        if (listed.isLink && data.cFileName[0] != L'.' && !QueryLinkTarget(widePrefix + data.cFileName, entry)) continue;
        entries.push_back(std::move(entry));
    } while (FindNextFileW(find.get(), &data));
    return true;
}

bool IsListableFolder(const std::string& folder) {
    const std::wstring pattern = SearchPattern(folder);
    WIN32_FIND_DATAW data;
    return !pattern.empty() && AdoptFindHandle(FindFirstFileW(pattern.c_str(), &data)) != nullptr;
}
