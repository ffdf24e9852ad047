#include "shell/main_window.h"

#include <objbase.h>
#include <windowsx.h>

#include <clocale>

#include "engine/analysis_state.h"
#include "platform/system_dpi.h"
#include "platform/wide_text.h"
#include "plugins/decoder_helper.h"
#include "plugins/plugin_registry.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "results/preview_area.h"
#include "results/preview_state.h"
#include "results/results_tree.h"
#include "results/selection_preview.h"
#include "shell/analysis_folder.h"
#include "shell/command_dispatch.h"
#include "shell/main_layout.h"
#include "shell/settings.h"
#include "shell/tree_context_menu.h"

namespace {

constexpr wchar_t kMainWindowClass[] = L"TOVRIK";
// The window's size at 96 DPI.
constexpr int kMainWindowWidth = 640;
constexpr int kMainWindowHeight = 480;

void OnCreate(HWND window) {
    CoInitialize(nullptr);
    ResolvePaths();
    ReadSettings();
    CreateResultsTree(window);
    if (!g_settings.pluginFolder.empty()) LoadPlugins(g_settings.pluginFolder);
    setlocale(LC_ALL, "Japanese");
}

// Every box and dialog a tree action or the run opens gives the focus back
// to the main window when it closes; the keyboard belongs to the tree, so
// that a second Delete needs no click first.
void OnSetFocus() {
    if (g_resultsTree.tree) SetFocus(g_resultsTree.tree);
}

void OnSize(HWND window) {
    LayoutMainWindow();
    RECT area = PreviewArea(window);
    InvalidateRect(window, &area, TRUE);
}

LRESULT OnContextMenu(HWND window, WPARAM wParam, LPARAM lParam) {
    POINT screenPoint = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ShowTreeContextMenu(window, screenPoint);
    return DefWindowProcW(window, WM_CONTEXTMENU, wParam, lParam);
}

LRESULT OnClose(HWND window) {
    if (QueryCloseDuringAnalysis()) return DefWindowProcW(window, WM_CLOSE, 0, 0);
    return 0;
}

void OnDestroy() {
    EndDecoderHelper();
    CoUninitialize();
    DestroyResultsTree();
    ReleasePreviewPicture();
    PostQuitMessage(0);
}

LRESULT OnInsertGroups(LPARAM lParam) { return InsertGroupSlice(*reinterpret_cast<GroupHandOver*>(lParam)); }

}  // namespace

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TOVRIK));
    // None given: the system takes the small size from the same icon resource.
    windowClass.hIconSm = nullptr;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDM_MAIN_MENU);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassExW(&windowClass) != 0;
}

HWND CreateMainWindow(HINSTANCE instance) {
    return CreateWindowExW(WS_EX_ACCEPTFILES, kMainWindowClass, WideFromCp932(kTextApplicationTitle).c_str(),
                           WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, CW_USEDEFAULT, ScaleToSystemDpi(kMainWindowWidth),
                           ScaleToSystemDpi(kMainWindowHeight), nullptr, nullptr, instance, nullptr);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_SIZE:
        OnSize(window);
        return 0;
    case WM_SETFOCUS:
        OnSetFocus();
        return 0;
    case WM_PAINT:
        PaintPreviewArea(window);
        return 0;
    case WM_ERASEBKGND:
        return 0;
    case WM_KEYDOWN:
        return 0;
    case WM_NOTIFY:
        return RouteTreeNotification(window, static_cast<int>(wParam), reinterpret_cast<const NMHDR*>(lParam));
    case WM_CONTEXTMENU:
        return OnContextMenu(window, wParam, lParam);
    case WM_COMMAND:
        DispatchCommand(window, LOWORD(wParam));
        return 0;
    case WM_DROPFILES:
        OnDroppedFiles(window, reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_CLOSE:
        return OnClose(window);
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case kInsertGroupsMessage:
        return OnInsertGroups(lParam);
    case kClearResultsMessage:
        return OnClearResults();
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
