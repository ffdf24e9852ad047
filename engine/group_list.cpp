#include "engine/group_list.h"

GroupList g_groupList;

void AppendGroup(DuplicateGroup group) {
    std::lock_guard<std::mutex> guard(g_groupList.lock);
    g_groupList.groups.push_back(std::move(group));
}

void ClearGroupList() {
    std::vector<DuplicateGroup> released;
    std::lock_guard<std::mutex> guard(g_groupList.lock);
    released.swap(g_groupList.groups);
}

size_t GroupCount() {
    std::lock_guard<std::mutex> guard(g_groupList.lock);
    return g_groupList.groups.size();
}

DuplicateGroup GroupAt(size_t number) {
    std::lock_guard<std::mutex> guard(g_groupList.lock);
    return g_groupList.groups[number];
}
