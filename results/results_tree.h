// The results tree: a caption label above a tree-view that lists each group
// of identical files as a root item with one child per file. A file item's
// text is its file's full path, the only link from the tree to the file.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "results/new_groups.h"

// Sent by the coordinator thread to the tree's parent (the main window) with
// a hand-over (lParam: GroupHandOver*); each message inserts one slice of
// whole groups, so no file action on the user-interface thread can fall
// between a group item and its file items, and the message loop runs
// between slices.
constexpr UINT kInsertGroupsMessage = WM_APP + 1;

// The groups a coordinator hands over and how many of them are in the tree.
struct GroupHandOver {
    const std::vector<PresentedGroup>* groups = nullptr;
    size_t inserted = 0;
};

struct ResultsTreeState {
    HWND captionLabel = nullptr;
    HWND tree = nullptr;
    WNDPROC stockTreeProc = nullptr;  // the stock tree-view procedure
    // Counts the clears of the tree: an item handle taken before a question
    // still names its item only while this is unchanged.
    std::atomic<uint32_t> generation{0};
};

extern ResultsTreeState g_resultsTree;

void CreateResultsTree(HWND mainWindow);
void DestroyResultsTree();
LRESULT CALLBACK ResultsTreeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// From the analysis coordinator thread; each operation is carried out on
// the user-interface thread through sent messages.
void ClearResultsTree();
void AddNewGroupsToTree(int32_t& cursor);

// User-interface thread.
void InsertGroupItems(const std::string& label, const std::vector<std::string>& paths);
// Inserts whole groups of the hand-over, at least one, until about 30 ms
// have passed; TRUE.
LRESULT InsertGroupSlice(GroupHandOver& handOver);
void DeleteTreeItem(HTREEITEM item);

// With redraw off the control neither paints nor recomputes its scroll bars
// for each item it gains or loses; it does both once when the scope ends.
class TreeRedrawPause {
public:
    TreeRedrawPause();
    ~TreeRedrawPause();
    TreeRedrawPause(const TreeRedrawPause&) = delete;
    TreeRedrawPause& operator=(const TreeRedrawPause&) = delete;
};
std::string GetTreeItemText(HTREEITEM item);  // the whole text, any length
void SetTreeItemText(HTREEITEM item, const std::string& text);

// The control's own queries; null stands for no item.
HTREEITEM TreeSelection();
// The selected item when it is a file item (it has a parent); null for a
// group item or no selection.
HTREEITEM SelectedFileItem();
HTREEITEM TreeFirstGroup();  // the first root-level item
HTREEITEM TreeParent(HTREEITEM item);
HTREEITEM TreeFirstChild(HTREEITEM item);
HTREEITEM TreeNextSibling(HTREEITEM item);
HTREEITEM TreePreviousSibling(HTREEITEM item);
void SelectTreeItem(HTREEITEM item);
