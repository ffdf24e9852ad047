// The results tree: a caption label above a tree-view that lists each group
// of identical files as a root item with one child per file. The results
// store holds what it shows: a group item carries its group's id and its
// label; a file item carries its member's id and asks the store for its
// path when shown. A group's file items are made when it is first opened,
// so the control holds one item per group while a run adds thousands.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "results/new_groups.h"
#include "results/results_store.h"

// Sent by the coordinator thread to the tree's parent (the main window) with
// a hand-over (lParam: GroupHandOver*); each message adds one slice of
// whole groups to the store and the tree, and the message loop runs between
// slices.
constexpr UINT kInsertGroupsMessage = WM_APP + 1;
// Sent by the coordinator thread to the tree's parent: the store and the
// tree are emptied together, on the thread that reads them.
constexpr UINT kClearResultsMessage = WM_APP + 6;

// The groups a coordinator hands over and how many of them are in the tree.
struct GroupHandOver {
    const std::vector<PresentedGroup>* groups = nullptr;
    size_t inserted = 0;
};

struct ResultsTreeState {
    HWND captionLabel = nullptr;
    HWND tree = nullptr;
    WNDPROC stockTreeProc = nullptr;  // the stock tree-view procedure
    // Counts the clears of the tree: a member id or item handle taken before
    // a question still names its file only while this is unchanged.
    std::atomic<uint32_t> generation{0};
    // When the coordinator may hand over again (steady-clock ticks): the
    // longer the tree, the dearer each slice, so the rarer the hand-overs.
    std::atomic<int64_t> nextHandOver{0};
    std::vector<HTREEITEM> groupItems;  // by group id; null once the group went
    std::wstring itemText;              // the last text handed to the control
};

extern ResultsTreeState g_resultsTree;

void CreateResultsTree(HWND mainWindow);
void DestroyResultsTree();
LRESULT CALLBACK ResultsTreeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// From the analysis coordinator thread; each operation is carried out on
// the user-interface thread through sent messages.
void ClearResultsTree();
// Lets a hand-over that comes before its time pass, its groups left for the
// next; never the last one of a run.
void AddNewGroupsToTree(int32_t& cursor, bool last);

// User-interface thread.
// Adds whole groups of the hand-over, at least one, until about 30 ms have
// passed; TRUE.
LRESULT InsertGroupSlice(GroupHandOver& handOver);
LRESULT OnClearResults();
// The control's questions: a file item's path, and a group opened for the
// first time, which gets its file items then.
void AnswerItemText(NMTVDISPINFOW& request);
void FillGroupBeforeExpanding(const NMTREEVIEWW& expanding);

// With redraw off the control neither paints nor recomputes its scroll bars
// for each item it gains or loses; it does both once when the scope ends.
class TreeRedrawPause {
public:
    TreeRedrawPause();
    ~TreeRedrawPause();
    TreeRedrawPause(const TreeRedrawPause&) = delete;
    TreeRedrawPause& operator=(const TreeRedrawPause&) = delete;
};

// The selected file item's member; false for a group item or no selection.
bool SelectedMember(MemberId& member);
// The selected file's path; empty for a group item or no selection.
std::string SelectedFilePath();
// `member` as it stands after a question or dialog that began at tree
// generation `generation`: the same while the results were not cleared, else
// the member now shown under `path`; false when none is.
bool MemberAfterWait(MemberId& member, uint32_t generation, const std::string& path);

// Takes a file off the store and its item off the tree, and its group too
// when that is left with one file or none (the lone file stays on disk).
// With `selectNeighbour`, a group that goes hands the selection to the next
// group's first file (the previous group's when it was the last), so that
// Delete can go on.
void TakeMemberOff(MemberId member, bool selectNeighbour);
// Shows the member's new path in its item, if it has one.
void ShowMovedMember(MemberId member);

HTREEITEM TreeSelection();
HTREEITEM TreeParent(HTREEITEM item);
