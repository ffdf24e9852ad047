#include "shell/file_actions.h"

#include <shellapi.h>

#include "platform/kernel_handles.h"
#include "platform/wide_path.h"
#include "resources/texts.h"
#include "results/file_info_window.h"
#include "results/results_tree.h"
#include "shell/folder_chooser.h"

namespace {

bool FileExists(const std::string& path) {
    std::wstring wide = WidePathFromNarrow(path);
    return !wide.empty() && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The shell takes no "\\?\" prefix and stops at the classic limit; a longer
// path goes to it in its 8.3 form, where that is short enough.
std::wstring PathForTheShell(const std::string& path) {
    const std::wstring wide = WideFromNarrow(path);
    if (wide.size() < MAX_PATH) return wide;
    std::wstring shortPath = ShortPathOf(WidePathForAnyLength(wide));
    if (shortPath.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
        shortPath.replace(0, 8, L"\\\\");
    } else if (shortPath.compare(0, 4, L"\\\\?\\") == 0) {
        shortPath.erase(0, 4);
    }
    return !shortPath.empty() && shortPath.size() < MAX_PATH ? shortPath : wide;
}

}  // namespace

bool SendToRecycleBin(HWND owner, const std::string& path) {
    // Built afresh for every call: a reused list could still hold a stale
    // second name after the double zero the shell reads up to.
    std::wstring sources = PathForTheShell(path);
    if (sources.empty()) return false;
    sources.push_back(L'\0');
    sources.push_back(L'\0');
    SHFILEOPSTRUCTW operation = {};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = sources.c_str();
    // FOF_WANTNUKEWARNING: where there is no recycle bin the shell would
    // otherwise delete for good without a word.
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING;
    const int result = SHFileOperationW(&operation);
    // The shell reports 0 also when the user declined its warning.
    return result == 0 && !operation.fAnyOperationsAborted && !FileExists(path);
}

std::wstring DirectoryEntryName(const std::string& path) {
    std::wstring wide = WidePathFromNarrow(path);
    if (wide.empty()) return std::wstring();
    WIN32_FIND_DATAW data;
    UniqueFindHandle find = AdoptFindHandle(
        FindFirstFileExW(wide.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    return find ? std::wstring(data.cFileName) : std::wstring();
}

void RecycleSelectedFile(HWND mainWindow) {
    HTREEITEM item = SelectedFileItem();
    if (!item) return;
    const std::string path = GetTreeItemText(item);
    const std::string question = kTextConfirmRecycle + path + "\n";
    // Only a Yes recycles: a box that could not be shown answers 0.
    if (MessageBoxA(mainWindow, question.c_str(), kTextDeleteFile, MB_YESNO) != IDYES) return;
    if (SendToRecycleBin(mainWindow, path)) {
        HTREEITEM group = TreeParent(item);
        DeleteTreeItem(item);
        // A group with one file left is no group of duplicates any more; the
        // remaining file stays on disk.
        HTREEITEM first = TreeFirstChild(group);
        if (!first || !TreeNextSibling(first)) DeleteTreeItem(group);
    }
    RefreshFileInfoWindow();
}

namespace {

// Moves the file under its own name, which the tree may show by its 8.3
// alias, and returns the moved file's path as the tree shows such paths;
// empty when nothing moved. A file whose new place has no narrow path is
// moved back: the tree could not lead to it.
std::string MoveUnderOwnName(const std::string& path, const std::string& folder) {
    const std::wstring name = DirectoryEntryName(path);
    const std::wstring source = WidePathFromNarrow(path);
    // One backslash after the folder whatever it ends with, as the walk
    // forms paths.
    const std::wstring destinationFolder = WideFromNarrow(folder) + L"\\";
    if (name.empty() || source.empty() || destinationFolder.size() == 1) return std::string();
    const std::wstring destination = WidePathForAnyLength(destinationFolder + name);
    // MoveFile never overwrites: an existing name makes it fail.
    if (!MoveFileW(source.c_str(), destination.c_str())) return std::string();
    std::string shownName;
    if (NarrowEntryName(destinationFolder, name, shownName)) return folder + "\\" + shownName;
    MoveFileW(destination.c_str(), source.c_str());
    return std::string();
}

}  // namespace

void MoveSelectedFile(HWND mainWindow) {
    HTREEITEM item = SelectedFileItem();
    if (!item) return;
    const std::string path = GetTreeItemText(item);
    std::string folder;
    if (!ChooseFolder(mainWindow, kTextSelectFolder, folder)) return;
    const std::string moved = MoveUnderOwnName(path, folder);
    if (!moved.empty()) SetTreeItemText(item, moved);
    RefreshFileInfoWindow();
}
