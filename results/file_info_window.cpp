#include "results/file_info_window.h"

#include "platform/gdi_handles.h"
#include "platform/system_dpi.h"
#include "platform/wide_text.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "results/point_font.h"
#include "results/preview_state.h"

namespace {

constexpr wchar_t kFileInfoWindowClass[] = L"TvFileWindow";
// Sizes at 96 DPI.
constexpr int kWindowWidth = 350;
constexpr int kWindowHeight = 200;
constexpr int kTextInset = 4;
constexpr int kWindowMenuPosition = 2;

struct FileInfoWindowState {
    HWND window = nullptr;
    bool classRegistered = false;
};

FileInfoWindowState g_fileInfo;

bool EnsureClassRegistered(HINSTANCE instance) {
    if (g_fileInfo.classRegistered) return true;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = FileInfoWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TOVRIK));
    windowClass.hIconSm = nullptr;  // taken from the same icon resource
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kFileInfoWindowClass;
    g_fileInfo.classRegistered = RegisterClassExW(&windowClass) != 0;
    return g_fileInfo.classRegistered;
}

void SetMenuItemEnabled(HWND mainWindow, bool enabled) {
    HMENU windowMenu = GetSubMenu(GetMenu(mainWindow), kWindowMenuPosition);
    EnableMenuItem(windowMenu, IDM_FILE_INFO, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void OnPaint(HWND window) {
    RECT text;
    GetClientRect(window, &text);
    const int inset = ScaleToSystemDpi(kTextInset);
    text.left += inset;
    text.top += inset;
    PaintSession session(window);
    UniqueFont font = CreatePointFont(session.dc(), kTextPreviewFontFace, 10);
    ScopedSelection selection(session.dc(), font.get());
    DrawTextW(session.dc(), g_preview.detailsText.c_str(), static_cast<int>(g_preview.detailsText.size()), &text,
              DT_WORDBREAK);
}

}  // namespace

void OpenFileInfoWindow(HWND mainWindow) {
    if (g_fileInfo.window) return;  // the grayed item makes this rare: a second request changes nothing
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(mainWindow, GWLP_HINSTANCE));
    if (!EnsureClassRegistered(instance)) return;
    HWND window = CreateWindowExW(0, kFileInfoWindowClass, WideFromCp932(kTextFileInformation).c_str(),
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, ScaleToSystemDpi(kWindowWidth), ScaleToSystemDpi(kWindowHeight),
                                  mainWindow, nullptr, instance, nullptr);
    if (!window) return;
    g_fileInfo.window = window;
    ShowWindow(window, SW_SHOW);
    SetMenuItemEnabled(mainWindow, false);
}

void RefreshFileInfoWindow() {
    if (g_fileInfo.window) InvalidateRect(g_fileInfo.window, nullptr, TRUE);
}

LRESULT CALLBACK FileInfoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint(window);
        break;
    case WM_SIZE:
        InvalidateRect(window, nullptr, TRUE);  // wrap the text anew
        break;
    case WM_CLOSE:
        SetMenuItemEnabled(GetWindow(window, GW_OWNER), true);
        break;
    case WM_DESTROY:
        g_fileInfo.window = nullptr;
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
