#include "shell/settings.h"

#include <vector>

#include "engine/file_identity.h"
#include "platform/message_box.h"
#include "platform/module_path.h"
#include "platform/whole_file.h"
#include "platform/wide_path.h"
#include "platform/wide_text.h"
#include "plugins/plugin_registry.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "shell/dialog_text.h"
#include "shell/folder_chooser.h"
#include "shell/profile_text.h"

SettingsState g_settings;

namespace {

constexpr wchar_t kSettingsFileName[] = L"Tovrik.ini";
constexpr char kSection[] = "PlugIn";
constexpr char kKey[] = "Directory";
constexpr char kAnalysisSection[] = "Analysis";
constexpr char kMinimumSizeKey[] = "MinimumSize";
constexpr char kSkipFoldersKey[] = "SkipFolders";
// A settings file is a few lines; anything this large is not one.
constexpr size_t kLargestSettingsFile = 1u << 20;

// The folder as the settings file holds it: its code page 932 name, or
// where that cannot be had its 8.3 form when that names the same folder.
bool StorableFolder(const std::string& folder, std::string& stored) {
    const std::wstring wide = WideFromUtf8(folder);
    if (Cp932FromWideExactly(wide, stored)) return true;
    const std::wstring shortForm = ShortPathOf(WidePathForAnyLength(wide));
    if (shortForm.empty() || shortForm.compare(0, 4, L"\\\\?\\") == 0) return false;
    FileIdentity chosen, shortened;
    return Cp932FromWideExactly(shortForm, stored) && QueryFileIdentity(folder, chosen) &&
           QueryFileIdentity(Utf8FromWide(shortForm), shortened) && chosen == shortened;
}

// The analysis filter as the settings file holds it; a value that cannot be
// read leaves its default.
void ReadAnalysisFilter(const std::string& text) {
    std::string value;
    int64_t size = 0;
    if (ReadProfileValue(text, kAnalysisSection, kMinimumSizeKey, value) && ParseMinimumSize(value, size))
        g_settings.analysisFilter.minimumSize = size;
    if (ReadProfileValue(text, kAnalysisSection, kSkipFoldersKey, value))
        g_settings.analysisFilter.skipFolders = ParseFolderNames(Utf8FromWide(WideFromCp932(value)));
}

// The folder is kept for this session all the same; the user learns that
// the next start will not know it (a read-only program folder, say, or a
// folder whose name the settings file cannot hold).
void OnConfirm(HWND dialog) {
    g_settings.pluginFolder = Utf8FromWide(DialogItemText(dialog, IDC_PLUGIN_FOLDER));
    std::string stored;
    if (!StorableFolder(g_settings.pluginFolder, stored)) {
        ShowMessageBox(dialog, WideFromCp932(kTextFolderCannotBeStored) + L"\n\n" + WideFromUtf8(g_settings.pluginFolder),
                       kTextConfirmation, MB_OK);
    } else if (!WriteSetting(kSection, kKey, stored)) {
        ShowMessageBox(dialog, WideFromCp932(kTextSettingsNotSaved) + L"\n\n" + g_settings.settingsFile,
                       kTextConfirmation, MB_OK);
    }
    LoadPlugins(g_settings.pluginFolder);
    EndDialog(dialog, 0);
}

void OnBrowse(HWND dialog) {
    std::string folder;
    if (ChooseFolder(dialog, kTextSelectFolder, folder))
        SetDlgItemTextW(dialog, IDC_PLUGIN_FOLDER, WideFromUtf8(folder).c_str());
}

}  // namespace

bool WriteSetting(const char* section, const char* key, const std::string& cp932Value) {
    if (g_settings.settingsFile.empty()) return false;
    // Whatever else the file holds stays as it is.
    std::string text;
    ReadWholeFile(g_settings.settingsFile, kLargestSettingsFile, text);
    return WriteWholeFile(g_settings.settingsFile, WithProfileValue(text, section, key, cp932Value));
}

bool WriteAnalysisFilter(const AnalysisFilter& filter) {
    std::string names;
    return Cp932FromWideExactly(WideFromUtf8(JoinFolderNames(filter.skipFolders)), names) &&
           WriteSetting(kAnalysisSection, kMinimumSizeKey, std::to_string(filter.minimumSize)) &&
           WriteSetting(kAnalysisSection, kSkipFoldersKey, names);
}

void ResolvePaths() {
    const std::wstring folder = ExecutableFolderWide();
    g_settings.settingsFile = folder.empty() ? std::wstring() : folder + kSettingsFileName;
}

void ReadSettings() {
    g_settings.pluginFolder.clear();
    g_settings.analysisFilter = AnalysisFilter();
    std::string text, stored;
    if (g_settings.settingsFile.empty() || !ReadWholeFile(g_settings.settingsFile, kLargestSettingsFile, text)) return;
    if (ReadProfileValue(text, kSection, kKey, stored)) g_settings.pluginFolder = Utf8FromWide(WideFromCp932(stored));
    ReadAnalysisFilter(text);
}

void OpenSettingsDialog(HWND owner) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SETTINGS), owner, SettingsDialogProc, 0);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextW(dialog, IDC_PLUGIN_FOLDER, WideFromUtf8(g_settings.pluginFolder).c_str());
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnConfirm(dialog);
            break;
        case IDCANCEL:  // also the close box and Escape
            EndDialog(dialog, 0);
            break;
        case IDC_BROWSE_BUTTON:
            OnBrowse(dialog);
            break;
        }
        break;
    }
    return FALSE;
}
