#include "shell/settings.h"

#include <vector>

#include "platform/cp932_text.h"
#include "plugins/plugin_registry.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "shell/folder_chooser.h"

SettingsState g_settings;

namespace {

constexpr char kSettingsFileName[] = "Tovrik.ini";
constexpr char kSection[] = "PlugIn";
constexpr char kKey[] = "Directory";

std::string ExecutablePath() {
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size() - 1) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

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

void OnConfirm(HWND dialog) {
    g_settings.pluginFolder = DialogItemText(dialog, IDC_PLUGIN_FOLDER);
    WritePrivateProfileStringA(kSection, kKey, g_settings.pluginFolder.c_str(), g_settings.settingsFile.c_str());
    LoadPlugins(g_settings.pluginFolder);
    EndDialog(dialog, 0);
}

void OnBrowse(HWND dialog) {
    std::string folder;
    if (ChooseFolder(dialog, kTextSelectFolder, folder)) SetDlgItemTextA(dialog, IDC_PLUGIN_FOLDER, folder.c_str());
}

}  // namespace

void ResolvePaths() {
    const std::string executable = ExecutablePath();
    // The last backslash as a character: in code page 932 the second byte
    // of some characters is 0x5C too.
    const size_t slash = LastBackslashPosition(executable);
    const std::string folder = slash == std::string::npos ? std::string() : executable.substr(0, slash + 1);
    g_settings.settingsFile = folder + kSettingsFileName;
}

void ReadSettings() { g_settings.pluginFolder = ReadProfileText(g_settings.settingsFile, kSection, kKey); }

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
