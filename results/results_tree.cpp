#include "results/results_tree.h"

#include <chrono>

#include "platform/system_dpi.h"
#include "platform/wide_text.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "shell/main_layout.h"

ResultsTreeState g_resultsTree;

namespace {

constexpr int kInitialTreeWidth = 200;  // at 96 DPI
constexpr wchar_t kTreeClassName[] = L"TvTreeView";

// A slice keeps the user-interface thread well under the 50 ms at which a
// window starts to feel stuck; the pause between slices lets its message
// loop answer input, paint and other senders.
constexpr std::chrono::milliseconds kSliceBudget(30);
constexpr DWORD kPauseBetweenSlicesMs = 10;

// The stock tree-view class registered again under our name, with our
// procedure in front of the stock one.
bool RegisterTreeClass(HINSTANCE instance) {
    WNDCLASSEXW stock = {};
    stock.cbSize = sizeof stock;
    if (!GetClassInfoExW(nullptr, WC_TREEVIEWW, &stock)) return false;
    g_resultsTree.stockTreeProc = stock.lpfnWndProc;
    WNDCLASSEXW ours = stock;
    ours.lpfnWndProc = ResultsTreeProc;
    ours.lpszClassName = kTreeClassName;
    ours.hInstance = instance;
    return RegisterClassExW(&ours) != 0;
}

HTREEITEM InsertItem(HTREEITEM parent, HTREEITEM after, const std::string& text) {
    std::wstring wide = WideFromUtf8(text);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = &wide[0];
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(g_resultsTree.tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM NextItem(HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(g_resultsTree.tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

}  // namespace

void CreateResultsTree(HWND mainWindow) {
    RECT client;
    GetClientRect(mainWindow, &client);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(mainWindow, GWLP_HINSTANCE));
    const int width = ScaleToSystemDpi(kInitialTreeWidth);
    const int captionHeight = CaptionLabelHeight();
    g_resultsTree.captionLabel = CreateWindowExW(0, L"STATIC", WideFromCp932(kTextCaptionLabel).c_str(),
                                                 WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, width, captionHeight,
                                                 mainWindow, reinterpret_cast<HMENU>(IDC_CAPTION_LABEL), instance,
                                                 nullptr);
    const wchar_t* treeClass = RegisterTreeClass(instance) ? kTreeClassName : WC_TREEVIEWW;
    g_resultsTree.tree = CreateWindowExW(
        0, treeClass, nullptr, WS_CHILD | WS_VISIBLE | WS_THICKFRAME | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
            TVS_SHOWSELALWAYS,
        0, captionHeight, width, client.bottom - captionHeight, mainWindow,
        reinterpret_cast<HMENU>(IDC_RESULTS_TREE), instance, nullptr);
}

void DestroyResultsTree() {
    DestroyWindow(g_resultsTree.captionLabel);
    DestroyWindow(g_resultsTree.tree);
    g_resultsTree.captionLabel = nullptr;
    g_resultsTree.tree = nullptr;
}

LRESULT CALLBACK ResultsTreeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) LayoutMainWindow();
    return CallWindowProcW(g_resultsTree.stockTreeProc, window, message, wParam, lParam);
}

void ClearResultsTree() {
    g_resultsTree.generation.fetch_add(1);
    SendMessageW(g_resultsTree.tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

void AddNewGroupsToTree(int32_t& cursor) {
    const std::vector<PresentedGroup> groups = CollectNewGroups(cursor);
    GroupHandOver handOver;
    handOver.groups = &groups;
    HWND owner = GetParent(g_resultsTree.tree);
    while (handOver.inserted < groups.size()) {
        if (handOver.inserted > 0) Sleep(kPauseBetweenSlicesMs);
        // A window that is gone takes nothing more.
        if (!SendMessageW(owner, kInsertGroupsMessage, 0, reinterpret_cast<LPARAM>(&handOver))) return;
    }
}

void InsertGroupItems(const std::string& label, const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    HTREEITEM group = InsertItem(TVI_ROOT, TVI_LAST, label);
    // Last path first, each at the front: the control validates an insertion
    // point by walking the parent's children up to it, and the front needs
    // no walk. A group item has to go last among many; that walk stays.
    for (auto path = paths.rbegin(); path != paths.rend(); ++path) InsertItem(group, TVI_FIRST, *path);
}

LRESULT InsertGroupSlice(GroupHandOver& handOver) {
    const std::vector<PresentedGroup>& groups = *handOver.groups;
    if (handOver.inserted >= groups.size()) return TRUE;
    const auto start = std::chrono::steady_clock::now();
    const TreeRedrawPause pause;
    do {
        const PresentedGroup& group = groups[handOver.inserted++];
        InsertGroupItems(group.label, group.paths);
    } while (handOver.inserted < groups.size() && std::chrono::steady_clock::now() - start < kSliceBudget);
    return TRUE;
}

TreeRedrawPause::TreeRedrawPause() { SendMessageW(g_resultsTree.tree, WM_SETREDRAW, FALSE, 0); }

TreeRedrawPause::~TreeRedrawPause() {
    SendMessageW(g_resultsTree.tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_resultsTree.tree, nullptr, TRUE);
}

void DeleteTreeItem(HTREEITEM item) {
    SendMessageW(g_resultsTree.tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

std::string GetTreeItemText(HTREEITEM item) {
    // Grow the buffer until the text fits with room to spare: a path cut
    // short could name another, existing file.
    std::vector<wchar_t> buffer(512);
    for (;;) {
        buffer.assign(buffer.size(), L'\0');
        TVITEMW query = {};
        query.mask = TVIF_TEXT;
        query.hItem = item;
        query.pszText = buffer.data();
        query.cchTextMax = static_cast<int>(buffer.size());
        if (!SendMessageW(g_resultsTree.tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) return std::string();
        // The control may hand back its own copy of the text instead.
        if (query.pszText && query.pszText != buffer.data()) return Utf8FromWide(query.pszText);
        size_t length = wcsnlen(buffer.data(), buffer.size());
        if (length + 1 < buffer.size()) return Utf8FromWide(std::wstring_view(buffer.data(), length));
        if (buffer.size() >= (1u << 20)) return std::string();  // no path is this long
        buffer.resize(buffer.size() * 2);
    }
}

void SetTreeItemText(HTREEITEM item, const std::string& text) {
    std::wstring wide = WideFromUtf8(text);
    TVITEMW change = {};
    change.mask = TVIF_TEXT;
    change.hItem = item;
    change.pszText = &wide[0];
    change.cchTextMax = static_cast<int>(wide.size());
    SendMessageW(g_resultsTree.tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

HTREEITEM TreeSelection() { return NextItem(nullptr, TVGN_CARET); }

HTREEITEM SelectedFileItem() {
    HTREEITEM item = TreeSelection();
    return item && TreeParent(item) ? item : nullptr;
}
HTREEITEM TreeFirstGroup() { return NextItem(nullptr, TVGN_ROOT); }
HTREEITEM TreeParent(HTREEITEM item) { return NextItem(item, TVGN_PARENT); }
HTREEITEM TreeFirstChild(HTREEITEM item) { return NextItem(item, TVGN_CHILD); }
HTREEITEM TreeNextSibling(HTREEITEM item) { return NextItem(item, TVGN_NEXT); }
HTREEITEM TreePreviousSibling(HTREEITEM item) { return NextItem(item, TVGN_PREVIOUS); }
void SelectTreeItem(HTREEITEM item) {
    SendMessageW(g_resultsTree.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}
