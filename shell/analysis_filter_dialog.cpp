#include "shell/analysis_filter_dialog.h"

#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/wide_text.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "shell/dialog_text.h"
#include "shell/settings.h"

namespace {

void OnInitDialog(HWND dialog) {
    const AnalysisFilter& filter = g_settings.analysisFilter;
    SetDlgItemTextW(dialog, IDC_MINIMUM_SIZE, std::to_wstring(filter.minimumSize).c_str());
    SetDlgItemTextW(dialog, IDC_SKIP_FOLDERS, WideFromUtf8(JoinFolderNames(filter.skipFolders)).c_str());
}

// A size that is no whole number keeps the dialog open, so nothing typed is
// lost. The filter holds for this session even when the file cannot keep it.
void OnConfirm(HWND dialog) {
    AnalysisFilter filter;
    if (!ParseMinimumSize(Utf8FromWide(DialogItemText(dialog, IDC_MINIMUM_SIZE)), filter.minimumSize)) {
        ShowMessageBox(dialog, kTextMinimumSizeNotANumber, kTextConfirmation, MB_OK);
        SetFocus(GetDlgItem(dialog, IDC_MINIMUM_SIZE));
        return;
    }
    filter.skipFolders = ParseFolderNames(Utf8FromWide(DialogItemText(dialog, IDC_SKIP_FOLDERS)));
    g_settings.analysisFilter = filter;
    if (!WriteAnalysisFilter(filter)) {
        ShowMessageBox(dialog, WideFromCp932(kTextSettingsNotSaved) + L"\n\n" + g_settings.settingsFile,
                       kTextConfirmation, MB_OK);
    }
    EndDialog(dialog, 0);
}

}  // namespace

void OpenAnalysisFilterDialog(HWND owner) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ANALYSIS_FILTER), owner, AnalysisFilterDialogProc, 0);
}

INT_PTR CALLBACK AnalysisFilterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnConfirm(dialog);
            break;
        case IDCANCEL:
            EndDialog(dialog, 0);
            break;
        }
        break;
    }
    return FALSE;
}
