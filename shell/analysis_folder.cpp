#include "shell/analysis_folder.h"

#include "resources/resource.h"
#include "resources/texts.h"
#include "shell/folder_chooser.h"

AnalysisFolderState g_analysisFolder;

void SelectAnalysisFolder(HWND mainWindow) {
    std::string chosen;
    if (ChooseFolder(mainWindow, kTextSelectFolder, chosen)) g_analysisFolder.folder = chosen;
    std::string title = std::string(kTextApplicationTitle) + "  [" + g_analysisFolder.folder + "]";
    SetWindowTextA(mainWindow, title.c_str());
    const UINT state = g_analysisFolder.folder.empty() ? MF_GRAYED : MF_ENABLED;
    EnableMenuItem(GetMenu(mainWindow), ANALYSIS_MENU_POSITION, MF_BYPOSITION | state);
    DrawMenuBar(mainWindow);
}
