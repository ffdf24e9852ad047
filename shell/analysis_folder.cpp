#include "shell/analysis_folder.h"

#include "platform/wide_text.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "shell/folder_chooser.h"

AnalysisFolderState g_analysisFolder;

void SelectAnalysisFolder(HWND mainWindow) {
    std::string chosen;
    if (ChooseFolder(mainWindow, kTextSelectFolder, chosen)) g_analysisFolder.folder = chosen;
    const std::wstring title = WideFromCp932(kTextApplicationTitle) + L"  [" + WideFromUtf8(g_analysisFolder.folder) + L"]";
    SetWindowTextW(mainWindow, title.c_str());
    const UINT state = g_analysisFolder.folder.empty() ? MF_GRAYED : MF_ENABLED;
    EnableMenuItem(GetMenu(mainWindow), ANALYSIS_MENU_POSITION, MF_BYPOSITION | state);
    DrawMenuBar(mainWindow);
}
