#include "shell/folder_chooser.h"

#include <shlobj.h>

#include <memory>

namespace {

struct ItemListFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using UniqueItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

}  // namespace

bool ChooseFolder(HWND owner, const char* title, std::string& folder) {
    char displayName[MAX_PATH] = {};
    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    UniqueItemList chosen(SHBrowseForFolderA(&browse));
    if (!chosen) return false;
    char path[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(chosen.get(), path)) return false;
    folder = path;
    return true;
}
