#include "shell/main_layout.h"

#include "platform/system_dpi.h"
#include "results/results_tree.h"
#include "shell/shell_state.h"

namespace {

constexpr int kCaptionHeight = 20;  // at 96 DPI

int TreeOuterWidth() {
    RECT treeRect;
    GetWindowRect(g_resultsTree.tree, &treeRect);
    return treeRect.right - treeRect.left;
}

}  // namespace

void LayoutMainWindow() {
    HWND window = g_shell.mainWindow;
    if (!window || !g_resultsTree.tree) return;
    // A move to the place and size the tree already has starts no further
    // layout, since the tree then gets no size change; the guard also stops
    // a platform that reports one anyway.
    static bool laying = false;
    if (laying) return;
    laying = true;
    const int frameX = GetSystemMetrics(SM_CXFRAME);
    const int frameY = GetSystemMetrics(SM_CYFRAME);
    RECT client;
    GetClientRect(window, &client);
    const int treeWidth = TreeOuterWidth();
    const int captionHeight = CaptionLabelHeight();
    MoveWindow(g_resultsTree.captionLabel, 0, 0, treeWidth - frameX, captionHeight, TRUE);
    // The tree's left and bottom borders lie outside the client area; its
    // right border is the splitter the user drags.
    MoveWindow(g_resultsTree.tree, -frameX, captionHeight, treeWidth, client.bottom + frameY - captionHeight, TRUE);
    InvalidateRect(g_resultsTree.captionLabel, nullptr, TRUE);
    InvalidateRect(window, nullptr, TRUE);
    laying = false;
}

int CaptionLabelHeight() { return ScaleToSystemDpi(kCaptionHeight); }

RECT PreviewArea(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    RECT area = client;
    area.left = client.left + TreeOuterWidth() - GetSystemMetrics(SM_CXFRAME);
    return area;
}
