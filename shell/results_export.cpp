#include "shell/results_export.h"

#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "engine/analysis_state.h"
#include "platform/kernel_handles.h"
#include "platform/wide_path.h"
#include "resources/texts.h"
#include "results/results_csv.h"
#include "results/results_tree.h"
#include "results/tree_contents.h"

namespace {

constexpr wchar_t kDefaultFileName[] = L"tovrik-results.csv";
constexpr size_t kPathBufferLength = 32768;  // the longest path Windows knows

bool AskSavePath(HWND owner, std::wstring& path) {
    std::vector<wchar_t> buffer(kPathBufferLength, L'\0');
    path.assign(kDefaultFileName);
    path.copy(buffer.data(), path.size());
    std::wstring filter = WideFromNarrow(kTextCsvFileType);
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

bool WriteAll(HANDLE file, const std::string& contents) {
    size_t written = 0;
    while (written < contents.size()) {
        DWORD chunk = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(contents.size() - written, 1u << 20));
        if (!WriteFile(file, contents.data() + written, wanted, &chunk, nullptr) || chunk == 0) return false;
        written += chunk;
    }
    return true;
}

// A name beside the target that no file has: the temporary file is made
// there (CREATE_NEW), so it never replaces a file of the user's.
UniqueHandle CreateTemporaryBeside(const std::wstring& path, std::wstring& temporary) {
    const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        wchar_t suffix[32];
        swprintf(suffix, sizeof suffix / sizeof suffix[0], L".%08lx.tovrik-partial", static_cast<unsigned long>(seed + attempt));
        temporary = path + suffix;
        UniqueHandle file = AdoptFileHandle(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return nullptr;
}

// Written beside the target first and put in its place whole, so that a
// failed write never leaves a cut-short file or spoils the one it replaces.
bool WriteFileWhole(const std::wstring& path, const std::string& contents) {
    std::wstring temporary;
    {
        UniqueHandle file = CreateTemporaryBeside(path, temporary);
        if (!file) return false;
        if (!WriteAll(file.get(), contents) || !FlushFileBuffers(file.get())) {
            file.reset();
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if (MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(temporary.c_str());
    return false;
}

}  // namespace

void SaveResultsAsCsv(HWND mainWindow) {
    // The menu item is grayed then; a command sent all the same does nothing.
    if (g_analysis.running.load() || !TreeHasGroups()) return;
    std::wstring path;
    if (AskSavePath(mainWindow, path)) {
        std::string contents = kUtf8ByteOrderMark;
        for (const TreeGroup& group : ReadTreeGroups()) contents += ResultsCsvLines(group.shown);
        if (!WriteFileWhole(path, contents)) {
            const std::string text = std::string(kTextCannotSave) + "\n\n" + NarrowForDisplay(path);
            MessageBoxA(mainWindow, text.c_str(), kTextConfirmation, MB_OK);
        }
    }
    SetFocus(g_resultsTree.tree);
}
