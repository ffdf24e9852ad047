#include "shell/tree_context_menu.h"

#include <commctrl.h>

#include "resources/resource.h"
#include "results/results_tree.h"

namespace {

struct MenuDestroyer {
    HMENU menu;
    ~MenuDestroyer() {
        if (menu) DestroyMenu(menu);
    }
};

}  // namespace

void ShowTreeContextMenu(HWND mainWindow, POINT screenPoint) {
    if (screenPoint.x == -1 && screenPoint.y == -1) return;
    TVHITTESTINFO hit = {};
    hit.pt = screenPoint;
    ScreenToClient(g_resultsTree.tree, &hit.pt);
    SendMessageW(g_resultsTree.tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    // Anywhere on an item's row counts, not only its text.
    if (!hit.hItem || !(hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON | TVHT_ONITEMRIGHT)))
        return;
    if (!TreeParent(hit.hItem)) return;  // a group item
    SendMessageW(g_resultsTree.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hit.hItem));

    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(mainWindow, GWLP_HINSTANCE));
    MenuDestroyer loaded{LoadMenuW(instance, MAKEINTRESOURCEW(IDM_TREE_CONTEXT_MENU))};
    if (!loaded.menu) return;
    TrackPopupMenu(GetSubMenu(loaded.menu, 0), TPM_CENTERALIGN, screenPoint.x, screenPoint.y, 0, mainWindow,
                   nullptr);
}
