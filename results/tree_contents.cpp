#include "results/tree_contents.h"

#include "results/results_tree.h"

std::vector<TreeGroup> ReadTreeGroups() {
    std::vector<TreeGroup> groups;
    for (HTREEITEM group = TreeFirstGroup(); group; group = TreeNextSibling(group)) {
        TreeGroup read;
        read.item = group;
        read.shown.label = GetTreeItemText(group);
        for (HTREEITEM file = TreeFirstChild(group); file; file = TreeNextSibling(file)) {
            read.files.push_back(file);
            read.shown.paths.push_back(GetTreeItemText(file));
        }
        groups.push_back(std::move(read));
    }
    return groups;
}

std::vector<PresentedGroup> ShownGroups(const std::vector<TreeGroup>& groups) {
    std::vector<PresentedGroup> shown;
    shown.reserve(groups.size());
    for (const TreeGroup& group : groups) shown.push_back(group.shown);
    return shown;
}

HTREEITEM FindFileItem(const std::string& path) {
    for (HTREEITEM group = TreeFirstGroup(); group; group = TreeNextSibling(group)) {
        for (HTREEITEM file = TreeFirstChild(group); file; file = TreeNextSibling(file)) {
            if (GetTreeItemText(file) == path) return file;
        }
    }
    return nullptr;
}

HTREEITEM FileItemAfterWait(HTREEITEM item, uint32_t generation, const std::string& path) {
    return g_resultsTree.generation.load() == generation ? item : FindFileItem(path);
}

bool TreeHasGroups() { return TreeFirstGroup() != nullptr; }

void DeleteFileItemAndLoneGroup(HTREEITEM fileItem) {
    HTREEITEM group = TreeParent(fileItem);
    DeleteTreeItem(fileItem);
    if (!group) return;
    HTREEITEM first = TreeFirstChild(group);
    if (first && TreeNextSibling(first)) return;
    // The whole group goes: the selection moves on to the next group's first
    // file (the previous group's at the end), so that Delete can go on.
    HTREEITEM neighbour = TreeNextSibling(group);
    if (!neighbour) neighbour = TreePreviousSibling(group);
    DeleteTreeItem(group);
    if (HTREEITEM next = neighbour ? TreeFirstChild(neighbour) : nullptr) SelectTreeItem(next);
}
