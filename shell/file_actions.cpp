#include "shell/file_actions.h"

#include "platform/kernel_handles.h"
#include "platform/message_box.h"
#include "platform/wide_path.h"
#include "platform/wide_text.h"
#include "resources/texts.h"
#include "results/file_info_window.h"
#include "results/results_tree.h"
#include "shell/folder_chooser.h"
#include "shell/recycle_bin.h"
#include "shell/results_menu.h"

std::wstring DirectoryEntryName(const std::string& path) {
    std::wstring wide = WidePathFromUtf8(path);
    if (wide.empty()) return std::wstring();
    WIN32_FIND_DATAW data;
    UniqueFindHandle find = AdoptFindHandle(
        FindFirstFileExW(wide.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    return find ? std::wstring(data.cFileName) : std::wstring();
}

void RecycleSelectedFile(HWND mainWindow) {
    MemberId member = 0;
    if (!SelectedMember(member)) return;
    const std::string path(g_resultsStore.Path(member));
    const std::wstring question = WideFromCp932(kTextConfirmRecycle) + WideFromUtf8(path) + L"\n";
    uint32_t generation = g_resultsTree.generation.load();
    // Only a Yes recycles: a box that could not be shown answers 0. A run
    // may have started and ended under the box: the file goes only while
    // the tree still lists it.
    if (ShowMessageBox(mainWindow, question, kTextDeleteFile, MB_YESNO) != IDYES) return;
    if (!MemberAfterWait(member, generation, path)) return;
    generation = g_resultsTree.generation.load();
    if (SendToRecycleBin(mainWindow, path)) {
        if (MemberAfterWait(member, generation, path)) TakeMemberOff(member, true);
        UpdateResultsMenu(mainWindow);
    }
    RefreshFileInfoWindow();
}

namespace {

// Moves the file under its own name, as the file system spells it, and
// returns the moved file's path; empty when nothing moved.
std::string MoveUnderOwnName(const std::string& path, const std::string& folder) {
    const std::wstring name = DirectoryEntryName(path);
    const std::wstring source = WidePathFromUtf8(path);
    // One backslash after the folder whatever it ends with, as the walk
    // forms paths.
    const std::wstring destinationFolder = WideFromUtf8(folder) + L"\\";
    if (name.empty() || source.empty() || destinationFolder.size() == 1) return std::string();
    const std::wstring destination = WidePathForAnyLength(destinationFolder + name);
    // MoveFile never overwrites: an existing name makes it fail.
    if (!MoveFileW(source.c_str(), destination.c_str())) return std::string();
    return folder + "\\" + Utf8FromWide(name);
}

}  // namespace

void MoveSelectedFile(HWND mainWindow) {
    MemberId member = 0;
    if (!SelectedMember(member)) return;
    const std::string path(g_resultsStore.Path(member));
    std::string folder;
    const uint32_t generation = g_resultsTree.generation.load();
    if (!ChooseFolder(mainWindow, kTextSelectFolder, folder)) return;
    if (!MemberAfterWait(member, generation, path)) return;
    const std::string moved = MoveUnderOwnName(path, folder);
    if (!moved.empty()) {
        g_resultsStore.Move(member, moved);
        ShowMovedMember(member);
    }
    RefreshFileInfoWindow();
}
