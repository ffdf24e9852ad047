#include "shell/folder_chooser.h"

#include <shlobj.h>

#include <memory>

#include "platform/wide_path.h"

namespace {

struct ItemListFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using UniqueItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

}  // namespace

bool ChooseFolder(HWND owner, const char* title, std::string& folder) {
    // The wide browser: the narrow one hands back "?" or a look-alike for a
    // folder name that code page 932 cannot hold, a path that opens nothing
    // or another folder.
    const std::wstring wideTitle = WideFromNarrow(title);
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = wideTitle.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    UniqueItemList chosen(SHBrowseForFolderW(&browse));
    if (!chosen) return false;
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.get(), path)) return false;
    // A folder without a narrow path cannot be analysed nor hold plug-ins:
    // it counts as no choice.
    std::string narrow;
    if (!NarrowPathThatOpens(path, narrow)) return false;
    folder = narrow;
    return true;
}
