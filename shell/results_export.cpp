#include "shell/results_export.h"

#include <commdlg.h>

#include <string>
#include <vector>

#include "engine/analysis_state.h"
#include "platform/message_box.h"
#include "platform/whole_file.h"
#include "platform/wide_text.h"
#include "resources/texts.h"
#include "results/results_csv.h"
#include "results/results_store.h"
#include "results/results_tree.h"

namespace {

constexpr wchar_t kDefaultFileName[] = L"tovrik-results.csv";
constexpr size_t kPathBufferLength = 32768;  // the longest path Windows knows

bool AskSavePath(HWND owner, std::wstring& path) {
    std::vector<wchar_t> buffer(kPathBufferLength, L'\0');
    path.assign(kDefaultFileName);
    path.copy(buffer.data(), path.size());
    std::wstring filter = WideFromCp932(kTextCsvFileType);
    filter += L'\0';
    filter += L"*.csv";
    filter += L'\0';
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();  // the string's own end adds the last zero
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrDefExt = L"csv";
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) return false;
    path.assign(buffer.data());
    return true;
}

}  // namespace

void SaveResultsAsCsv(HWND mainWindow) {
    // The menu item is grayed then; a command sent all the same does nothing.
    if (g_analysis.running.load() || !g_resultsStore.HasGroups()) return;
    std::wstring path;
    if (AskSavePath(mainWindow, path)) {
        std::string contents = kUtf8ByteOrderMark;
        for (const PresentedGroup& group : g_resultsStore.Snapshot().groups) contents += ResultsCsvLines(group);
        if (!WriteWholeFile(path, contents)) {
            ShowMessageBox(mainWindow, WideFromCp932(kTextCannotSave) + L"\n\n" + path, kTextConfirmation, MB_OK);
        }
    }
    SetFocus(g_resultsTree.tree);
}
