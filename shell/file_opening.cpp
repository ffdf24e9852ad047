#include "shell/file_opening.h"

#include <shellapi.h>
#include <shlobj.h>

#include <memory>
#include <string>

#include "platform/message_box.h"
#include "platform/wide_path.h"
#include "platform/wide_text.h"
#include "resources/texts.h"
#include "results/results_tree.h"

namespace {

void SayCannotOpen(HWND mainWindow, const std::string& path) {
    ShowMessageBox(mainWindow, WideFromCp932(kTextCannotOpenFile) + L"\n\n" + WideFromUtf8(path), kTextConfirmation,
                   MB_OK);
}

// The shell normalises what it is given (a name ending in a space or a dot
// would lose it) and takes no "\\?\" path: only a path that is its own
// normal form names this very file there.
bool ShellNamesThisFile(const std::wstring& path) { return path.size() < MAX_PATH && NormalFormOf(path) == path; }

struct ItemListFree {
    void operator()(ITEMIDLIST* list) const { ILFree(list); }
};

}  // namespace

void OpenSelectedFile(HWND mainWindow) {
    const std::string path = SelectedFilePath();
    if (path.empty()) return;
    const std::wstring wide = WideFromUtf8(path);
    // ShellExecute reports success as a value above 32.
    const bool opened = ShellNamesThisFile(wide) &&
                        reinterpret_cast<INT_PTR>(ShellExecuteW(mainWindow, L"open", wide.c_str(), nullptr, nullptr,
                                                                SW_SHOWNORMAL)) > 32;
    if (!opened) SayCannotOpen(mainWindow, path);
}

void OpenSelectedFileFolder(HWND mainWindow) {
    const std::string path = SelectedFilePath();
    if (path.empty()) return;
    const std::wstring wide = WideFromUtf8(path);
    std::unique_ptr<ITEMIDLIST, ItemListFree> file(ShellNamesThisFile(wide) ? ILCreateFromPathW(wide.c_str()) : nullptr);
    if (!file || FAILED(SHOpenFolderAndSelectItems(file.get(), 0, nullptr, 0))) SayCannotOpen(mainWindow, path);
}
