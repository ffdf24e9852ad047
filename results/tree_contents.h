// The results tree read back as groups, for the commands that act on many
// of its items at once (user-interface thread).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "results/new_groups.h"

struct TreeGroup {
    HTREEITEM item = nullptr;
    std::vector<HTREEITEM> files;  // one per path of `shown`, in tree order
    PresentedGroup shown;          // the label and the file items' texts
};

// Every group item with its file items, in tree order.
std::vector<TreeGroup> ReadTreeGroups();

// The shown part of each group, in the same order.
std::vector<PresentedGroup> ShownGroups(const std::vector<TreeGroup>& groups);

// True when the tree holds at least one group item.
bool TreeHasGroups();

// The file item whose text is `path`, looked up afresh; null when the tree
// lists no such file.
HTREEITEM FindFileItem(const std::string& path);

// `item` as it stands after a question or dialog that began at tree
// generation `generation`: the same handle while the tree was not cleared,
// else the item listing `path` now, or null.
HTREEITEM FileItemAfterWait(HTREEITEM item, uint32_t generation, const std::string& path);

// Takes a file item off the tree, and its group item too when that is left
// with one file item or none: a lone file is no duplicate (it stays on disk).
// When the group goes, the next group's first file item is selected (the
// previous group's when it was the last).
void DeleteFileItemAndLoneGroup(HTREEITEM fileItem);
