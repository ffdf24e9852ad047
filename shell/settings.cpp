#include "shell/settings.h"

#include <vector>

#include "platform/module_path.h"
#include "plugins/plugin_registry.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "shell/folder_chooser.h"

SettingsState g_settings;

namespace {

constexpr char kSettingsFileName[] = "Tovrik.ini";
constexpr char kSection[] = "PlugIn";
constexpr char kKey[] = "Directory";

// The whole value, however long: a folder cut short names another folder.
std::string ReadProfileText(const std::string& file, const char* section, const char* key) {
    std::vector<char> buffer(512);
    for (;;) {
        DWORD length = GetPrivateProfileStringA(section, key, "", buffer.data(), static_cast<DWORD>(buffer.size()),
                                                file.c_str());
        if (length + 1 < buffer.size()) return std::string(buffer.data(), length);
        if (buffer.size() >= (1u << 20)) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::string DialogItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(item)) + 1, '\0');
    GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
    return text.data();
}

bool WriteSettings() {
    return !g_settings.settingsFile.empty() &&
           WritePrivateProfileStringA(kSection, kKey, g_settings.pluginFolder.c_str(),
                                      g_settings.settingsFile.c_str());
}

// The folder is kept for this session all the same; the user learns that
// the next start will not know it (a read-only program folder, say).
void OnConfirm(HWND dialog) {
    g_settings.pluginFolder = DialogItemText(dialog, IDC_PLUGIN_FOLDER);
    if (!WriteSettings()) {
        const std::string text = std::string(kTextSettingsNotSaved) + "\n\n" + g_settings.settingsFile;
        MessageBoxA(dialog, text.c_str(), kTextConfirmation, MB_OK);
    }
    LoadPlugins(g_settings.pluginFolder);
    EndDialog(dialog, 0);
}

void OnBrowse(HWND dialog) {
    std::string folder;
    if (ChooseFolder(dialog, kTextSelectFolder, folder)) SetDlgItemTextA(dialog, IDC_PLUGIN_FOLDER, folder.c_str());
}

}  // namespace

// The profile functions are narrow: the folder is taken wide and given to
// them in a form they open. Without one, the settings are absent.
void ResolvePaths() {
    const std::string folder = ExecutableFolderNarrow();
    g_settings.settingsFile = folder.empty() ? std::string() : folder + kSettingsFileName;
}

void ReadSettings() {
    g_settings.pluginFolder =
        g_settings.settingsFile.empty() ? std::string() : ReadProfileText(g_settings.settingsFile, kSection, kKey);
}

void OpenSettingsDialog(HWND owner) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner, SettingsDialogProc, 0);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_PLUGIN_FOLDER, g_settings.pluginFolder.c_str());
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
