// The groups of identical files found by the current run, guarded by the one
// lock of the system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

// Catalogue indices of identical files: the reference first, then the
// others in ascending catalogue order; at least two.
using DuplicateGroup = std::vector<int32_t>;

struct GroupList {
    std::mutex lock;  // held only to append or read, never while comparing
    std::vector<DuplicateGroup> groups;
};

extern GroupList g_groupList;

void AppendGroup(DuplicateGroup group);
void ClearGroupList();
size_t GroupCount();
DuplicateGroup GroupAt(size_t number);  // a copy, taken under the lock
