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
    // Every group's members back to back, and where each group begins: a
    // hundred thousand groups cost no hundred thousand allocations.
    std::vector<int32_t> members;
    std::vector<uint32_t> starts;
};

extern GroupList g_groupList;

void AppendGroup(const DuplicateGroup& group);
void ClearGroupList();
size_t GroupCount();
DuplicateGroup GroupAt(size_t number);  // a copy, taken under the lock
// Copies of the groups from `first` to the end, taken under one lock;
// gives the number of groups then, the copies' end.
size_t CopyGroupsFrom(size_t first, std::vector<DuplicateGroup>& copies);
