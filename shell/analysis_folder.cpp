#include "shell/analysis_folder.h"

#include <shellapi.h>

#include <vector>

#include "engine/analysis_state.h"
#include "platform/wide_path.h"
#include "platform/wide_text.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "shell/folder_chooser.h"

AnalysisFolderState g_analysisFolder;

namespace {

// The title and the analysis menu follow the analysis folder.
void ShowAnalysisFolder(HWND mainWindow) {
    const std::wstring title =
        WideFromCp932(kTextApplicationTitle) + L"  [" + WideFromUtf8(g_analysisFolder.folder) + L"]";
    SetWindowTextW(mainWindow, title.c_str());
    const UINT state = g_analysisFolder.folder.empty() ? MF_GRAYED : MF_ENABLED;
    EnableMenuItem(GetMenu(mainWindow), ANALYSIS_MENU_POSITION, MF_BYPOSITION | state);
    DrawMenuBar(mainWindow);
}

// The folder a dropped or named path stands for: a folder itself, a file
// its folder; empty for a path that names nothing.
std::string FolderFor(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(WidePathForAnyLength(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::string();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Utf8FromWide(path);
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::string();
    // A file at a drive's root keeps the root's backslash, as the folder
    // browser gives a root.
    const bool atRoot = slash == 2 && path[1] == L':';
    return Utf8FromWide(path.substr(0, atRoot ? slash + 1 : slash));
}

}  // namespace

void SelectAnalysisFolder(HWND mainWindow) {
    std::string chosen;
    if (ChooseFolder(mainWindow, kTextSelectFolder, chosen)) g_analysisFolder.folder = chosen;
    ShowAnalysisFolder(mainWindow);
}

void OnDroppedFiles(HWND mainWindow, HDROP drop) {
    // During a run the folder stays as the run took it; the drop does nothing.
    if (!g_analysis.running.load() && DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
        std::vector<wchar_t> path(DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
        DragQueryFileW(drop, 0, path.data(), static_cast<UINT>(path.size()));
        const std::string folder = FolderFor(path.data());
        if (!folder.empty()) {
            g_analysisFolder.folder = folder;
            ShowAnalysisFolder(mainWindow);
        }
    }
    DragFinish(drop);
}

void TakeFolderFromCommandLine(HWND mainWindow) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return;
    const std::wstring named = count >= 2 ? NormalFormOf(arguments[1]) : std::wstring();
    LocalFree(arguments);
    const std::string folder = named.empty() ? std::string() : FolderFor(named);
    if (folder.empty()) return;
    g_analysisFolder.folder = folder;
    ShowAnalysisFolder(mainWindow);
}
