#include "shell/file_actions.h"

#include <shellapi.h>

#include <vector>

#include "platform/kernel_handles.h"
#include "platform/wide_path.h"
#include "resources/texts.h"
#include "results/file_info_window.h"
#include "results/results_tree.h"
#include "results/tree_contents.h"
#include "shell/folder_chooser.h"
#include "shell/results_menu.h"

namespace {

bool FileExists(const std::string& path) {
    std::wstring wide = WidePathFromNarrow(path);
    return !wide.empty() && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool SendToRecycleBin(HWND owner, const std::string& path) {
    // Built afresh for every call: a reused list could still hold a stale
    // second name after the double zero the shell reads up to.
    std::vector<char> sources(path.begin(), path.end());
    sources.push_back('\0');
    sources.push_back('\0');
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = sources.data();
    // FOF_WANTNUKEWARNING: where there is no recycle bin the shell would
    // otherwise delete for good without a word.
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING;
    const int result = SHFileOperationA(&operation);
    // The shell reports 0 also when the user declined its warning.
    return result == 0 && !operation.fAnyOperationsAborted && !FileExists(path);
}

std::string DirectoryEntryName(const std::string& path) {
    std::wstring wide = WidePathFromNarrow(path);
    if (wide.empty()) return std::string();
    WIN32_FIND_DATAW data;
    UniqueFindHandle find = AdoptFindHandle(
        FindFirstFileExW(wide.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr, 0));
    if (!find) return std::string();
    std::string name;
    if (NarrowFromWideExactly(data.cFileName, name)) return name;
    // A name code page 932 cannot hold is reached through its 8.3 name.
    if (data.cAlternateFileName[0] && NarrowFromWideExactly(data.cAlternateFileName, name)) return name;
    return std::string();
}

void RecycleSelectedFile(HWND mainWindow) {
    HTREEITEM item = SelectedFileItem();
    if (!item) return;
    const std::string path = GetTreeItemText(item);
    const std::string question = kTextConfirmRecycle + path + "\n";
    if (MessageBoxA(mainWindow, question.c_str(), kTextDeleteFile, MB_YESNO) == IDNO) return;
    if (SendToRecycleBin(mainWindow, path)) {
        DeleteFileItemAndLoneGroup(item);
        UpdateResultsMenu(mainWindow);
    }
    RefreshFileInfoWindow();
}

void MoveSelectedFile(HWND mainWindow) {
    HTREEITEM item = SelectedFileItem();
    if (!item) return;
    const std::string path = GetTreeItemText(item);
    std::string folder;
    if (!ChooseFolder(mainWindow, kTextSelectFolder, folder)) return;
    const std::string destination = folder + "\\" + DirectoryEntryName(path);
    std::wstring wideSource = WidePathFromNarrow(path);
    std::wstring wideDestination = WidePathFromNarrow(destination);
    // MoveFile never overwrites: an existing name makes it fail.
    if (!wideSource.empty() && !wideDestination.empty() && MoveFileW(wideSource.c_str(), wideDestination.c_str()))
        SetTreeItemText(item, destination);
    RefreshFileInfoWindow();
}
