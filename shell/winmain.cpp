// Start-up: one instance only, the main window, the message loop.
#include <windows.h>
#include <commctrl.h>

#include "platform/message_box.h"
#include "resources/texts.h"
#include "shell/analysis_folder.h"
#include "shell/main_window.h"
#include "shell/message_loop.h"
#include "shell/shell_state.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // Held, never closed, until the process ends.
    CreateMutexW(nullptr, TRUE, L"Tovrik Mutex object");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        ShowMessageBox(nullptr, kTextCannotStartTwice, kTextConfirmation, MB_OK);
        return 0;
    }
    g_shell.instance = instance;

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    if (!RegisterMainWindowClass(instance)) return 0;
    HWND mainWindow = CreateMainWindow(instance);
    if (!mainWindow) return 0;
    g_shell.mainWindow = mainWindow;
    TakeFolderFromCommandLine(mainWindow);
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);

    return RunMessageLoop();
}
