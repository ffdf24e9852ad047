#include "results/results_tree.h"

#include <algorithm>
#include <chrono>

#include "platform/gdi_handles.h"
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

// Redraw coming back costs the stock control a walk over every item (order,
// metrics, scroll bars), so a slice costs more the longer the tree. The next
// hand-over waits twenty times what the last slice's redraw cost, keeping
// that walk near a twentieth of the window's time, and never more than 2 s,
// so new groups still show while the run goes on.
constexpr int kRedrawCostsPerHandOver = 20;
constexpr std::chrono::seconds kLongestHandOverWait(2);

void PostponeNextHandOver(std::chrono::steady_clock::duration redrawCost) {
    const std::chrono::steady_clock::duration wait =
        std::min<std::chrono::steady_clock::duration>(kRedrawCostsPerHandOver * redrawCost, kLongestHandOverWait);
    g_resultsTree.nextHandOver.store((std::chrono::steady_clock::now() + wait).time_since_epoch().count());
}

bool HandOverDue() {
    return std::chrono::steady_clock::now().time_since_epoch().count() >= g_resultsTree.nextHandOver.load();
}

// Whether an item added after the last one would show: the tree does not
// fill the control, or it is scrolled to its end. The control numbers its
// items top to bottom in the vertical scroll bar, a page holding the items
// that fit whole, and one more shows in part.
bool TreeEndShows() {
    if (!(GetWindowLongPtrW(g_resultsTree.tree, GWL_STYLE) & WS_VSCROLL)) return true;
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_PAGE | SIF_POS | SIF_RANGE;
    if (!GetScrollInfo(g_resultsTree.tree, SB_VERT, &bar)) return true;
    return bar.nPos + static_cast<int>(bar.nPage) > bar.nMax;
}

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

HTREEITEM InsertItem(TVINSERTSTRUCTW& insert) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(g_resultsTree.tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

// A group item holds its label itself: it is short, and a text the control
// must ask for costs it a buffer of its own per item and a question per item
// each time redraw comes back. The "+" shows before any file item exists.
HTREEITEM InsertGroupItem(GroupId group) {
    std::wstring label = WideFromUtf8(g_resultsStore.Label(group));
    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = &label[0];
    insert.item.lParam = static_cast<LPARAM>(group);
    insert.item.cChildren = 1;
    return InsertItem(insert);
}

// Last member first, each at the front: the control validates an insertion
// point by walking the parent's children up to it, and the front needs no
// walk.
void InsertFileItems(HTREEITEM groupItem, GroupId group) {
    const std::vector<MemberId> members = g_resultsStore.Members(group);
    for (auto member = members.rbegin(); member != members.rend(); ++member) {
        TVINSERTSTRUCTW insert = {};
        insert.hParent = groupItem;
        insert.hInsertAfter = TVI_FIRST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = LPSTR_TEXTCALLBACKW;
        insert.item.lParam = static_cast<LPARAM>(*member);
        InsertItem(insert);
    }
}

HTREEITEM NextItem(HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(g_resultsTree.tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

LPARAM ItemParam(HTREEITEM item) {
    TVITEMW query = {};
    query.mask = TVIF_PARAM;
    query.hItem = item;
    SendMessageW(g_resultsTree.tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return query.lParam;
}

void DeleteTreeItem(HTREEITEM item) {
    SendMessageW(g_resultsTree.tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

HTREEITEM GroupItemOf(GroupId group) {
    return group < g_resultsTree.groupItems.size() ? g_resultsTree.groupItems[group] : nullptr;
}

// The member's file item; null while its group was never opened.
HTREEITEM FileItemOf(MemberId member) {
    HTREEITEM group = GroupItemOf(g_resultsStore.GroupOf(member));
    for (HTREEITEM file = group ? NextItem(group, TVGN_CHILD) : nullptr; file; file = NextItem(file, TVGN_NEXT)) {
        if (static_cast<MemberId>(ItemParam(file)) == member) return file;
    }
    return nullptr;
}

// The whole control is drawn into a bitmap and copied at once: erasing the
// screen first and drawing after would show it blank for a moment on each
// repaint, and a run repaints it several times a second.
void PaintBuffered(HWND window) {
    PaintSession paint(window);
    RECT client;
    GetClientRect(window, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    UniqueMemoryDc buffer(CreateCompatibleDC(paint.dc()));
    UniqueBitmap bitmap(CreateCompatibleBitmap(paint.dc(), client.right, client.bottom));
    if (!buffer || !bitmap) {
        CallWindowProcW(g_resultsTree.stockTreeProc, window, WM_PAINT, reinterpret_cast<WPARAM>(paint.dc()), 0);
        return;
    }
    const ScopedSelection selected(buffer.get(), bitmap.get());
    // The stock procedure paints the whole client area, background first,
    // into a device context it is given.
    CallWindowProcW(g_resultsTree.stockTreeProc, window, WM_PAINT, reinterpret_cast<WPARAM>(buffer.get()), 0);
    BitBlt(paint.dc(), 0, 0, client.right, client.bottom, buffer.get(), 0, 0, SRCCOPY);
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
    switch (message) {
    case WM_SIZE:
        LayoutMainWindow();
        break;
    case WM_ERASEBKGND:
        return 1;  // the buffered paint draws the background
    case WM_PAINT:
        if (wParam) break;  // a device context given: the stock procedure paints into it
        PaintBuffered(window);
        return 0;
    default:
        break;
    }
    return CallWindowProcW(g_resultsTree.stockTreeProc, window, message, wParam, lParam);
}

void ClearResultsTree() {
    g_resultsTree.generation.fetch_add(1);
    SendMessageW(GetParent(g_resultsTree.tree), kClearResultsMessage, 0, 0);
}

LRESULT OnClearResults() {
    SendMessageW(g_resultsTree.tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    std::vector<HTREEITEM>().swap(g_resultsTree.groupItems);
    g_resultsStore.Clear();
    g_resultsTree.nextHandOver.store(0);
    return TRUE;
}

void AddNewGroupsToTree(int32_t& cursor, bool last) {
    if (!last && !HandOverDue()) return;
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

LRESULT InsertGroupSlice(GroupHandOver& handOver) {
    const std::vector<PresentedGroup>& groups = *handOver.groups;
    if (handOver.inserted >= groups.size()) return TRUE;
    const auto start = std::chrono::steady_clock::now();
    // Groups go after the last item: where that lies below the control's
    // edge, redraw coming back changes nothing on the screen but the scroll
    // bar, and the whole-control repaint it asks for is dropped again unless
    // something else was waiting to be painted.
    const bool repaintNeeded = TreeEndShows() || GetUpdateRect(g_resultsTree.tree, nullptr, FALSE);
    auto redrawFrom = start;
    {
        const TreeRedrawPause pause;
        do {
            const GroupId group = g_resultsStore.Add(groups[handOver.inserted++]);
            g_resultsTree.groupItems.push_back(g_resultsStore.IsShown(group) ? InsertGroupItem(group) : nullptr);
            redrawFrom = std::chrono::steady_clock::now();
        } while (handOver.inserted < groups.size() && redrawFrom - start < kSliceBudget);
    }
    if (!repaintNeeded) ValidateRect(g_resultsTree.tree, nullptr);
    PostponeNextHandOver(std::chrono::steady_clock::now() - redrawFrom);
    return TRUE;
}

void AnswerItemText(NMTVDISPINFOW& request) {
    if (!(request.item.mask & TVIF_TEXT)) return;
    const MemberId member = static_cast<MemberId>(request.item.lParam);
    g_resultsTree.itemText = g_resultsStore.IsMember(member) ? WideFromUtf8(g_resultsStore.Path(member)) : L"";
    // Our own buffer, whatever the path's length: the control's holds 260
    // characters, and a path cut short could name another file.
    request.item.pszText = &g_resultsTree.itemText[0];
}

void FillGroupBeforeExpanding(const NMTREEVIEWW& expanding) {
    if (!(expanding.action & TVE_EXPAND) || NextItem(expanding.itemNew.hItem, TVGN_CHILD)) return;
    InsertFileItems(expanding.itemNew.hItem, static_cast<GroupId>(expanding.itemNew.lParam));
}

TreeRedrawPause::TreeRedrawPause() { SendMessageW(g_resultsTree.tree, WM_SETREDRAW, FALSE, 0); }

// The control repaints what changed once redraw is back; nothing is erased
// here, so nothing shows blank.
TreeRedrawPause::~TreeRedrawPause() { SendMessageW(g_resultsTree.tree, WM_SETREDRAW, TRUE, 0); }

bool SelectedMember(MemberId& member) {
    HTREEITEM item = TreeSelection();
    if (!item || !TreeParent(item)) return false;
    member = static_cast<MemberId>(ItemParam(item));
    return g_resultsStore.IsMember(member);
}

std::string SelectedFilePath() {
    MemberId member = 0;
    return SelectedMember(member) ? g_resultsStore.Path(member) : std::string();
}

bool MemberAfterWait(MemberId& member, uint32_t generation, const std::string& path) {
    if (g_resultsTree.generation.load() == generation) return g_resultsStore.IsMember(member);
    return g_resultsStore.FindMember(path, member);
}

void TakeMemberOff(MemberId member, bool selectNeighbour) {
    if (!g_resultsStore.IsMember(member)) return;
    const GroupId group = g_resultsStore.GroupOf(member);
    HTREEITEM fileItem = FileItemOf(member);
    if (!g_resultsStore.Remove(member)) {
        if (fileItem) DeleteTreeItem(fileItem);
        return;
    }
    HTREEITEM groupItem = GroupItemOf(group);
    if (!groupItem) return;
    HTREEITEM neighbour = NextItem(groupItem, TVGN_NEXT);
    if (!neighbour) neighbour = NextItem(groupItem, TVGN_PREVIOUS);
    g_resultsTree.groupItems[group] = nullptr;
    DeleteTreeItem(groupItem);
    if (!selectNeighbour || !neighbour) return;
    if (!NextItem(neighbour, TVGN_CHILD)) InsertFileItems(neighbour, static_cast<GroupId>(ItemParam(neighbour)));
    if (HTREEITEM next = NextItem(neighbour, TVGN_CHILD))
        SendMessageW(g_resultsTree.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(next));
}

void ShowMovedMember(MemberId member) {
    HTREEITEM item = FileItemOf(member);
    if (!item) return;
    // Set again, the callback makes the control ask for the text afresh.
    TVITEMW change = {};
    change.mask = TVIF_TEXT;
    change.hItem = item;
    change.pszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(g_resultsTree.tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

HTREEITEM TreeSelection() { return NextItem(nullptr, TVGN_CARET); }
HTREEITEM TreeParent(HTREEITEM item) { return NextItem(item, TVGN_PARENT); }
