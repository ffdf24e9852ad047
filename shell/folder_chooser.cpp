#include "shell/folder_chooser.h"

#include <shlobj.h>

#include <memory>
#include <vector>

#include "platform/wide_text.h"

namespace {

struct ItemListFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using UniqueItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

// The longest path the wide functions know.
constexpr DWORD kLongestPath = 32768;

}  // namespace

bool ChooseFolder(HWND owner, const char* title, std::string& folder) {
    const std::wstring wideTitle = WideFromCp932(title);
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = wideTitle.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    UniqueItemList chosen(SHBrowseForFolderW(&browse));
    if (!chosen) return false;
    // A folder deeper than the classic limit is a folder like any other.
    std::vector<wchar_t> path(kLongestPath, L'\0');
    if (!SHGetPathFromIDListEx(chosen.get(), path.data(), kLongestPath, GPFIDL_DEFAULT) || path[0] == L'\0')
        return false;
    folder = Utf8FromWide(path.data());
    return true;
}
