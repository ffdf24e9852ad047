#include "engine/group_list.h"

#include "platform/reserve_ahead.h"

GroupList g_groupList;

namespace {

// Group `number`'s members; the caller holds the lock.
DuplicateGroup CopyOfGroup(size_t number) {
    const std::vector<int32_t>& members = g_groupList.members;
    const size_t end = number + 1 < g_groupList.starts.size() ? g_groupList.starts[number + 1] : members.size();
    return DuplicateGroup(members.begin() + g_groupList.starts[number], members.begin() + static_cast<std::ptrdiff_t>(end));
}

}  // namespace

void AppendGroup(const DuplicateGroup& group) {
    std::lock_guard<std::mutex> guard(g_groupList.lock);
    // Both reservations first, so that running out of memory appends nothing.
    ReserveOneMore(g_groupList.members, group.size());
    ReserveOneMore(g_groupList.starts);
    g_groupList.starts.push_back(static_cast<uint32_t>(g_groupList.members.size()));
    g_groupList.members.insert(g_groupList.members.end(), group.begin(), group.end());
}

void ClearGroupList() {
    std::vector<int32_t> releasedMembers;
    std::vector<uint32_t> releasedStarts;
    std::lock_guard<std::mutex> guard(g_groupList.lock);
    releasedMembers.swap(g_groupList.members);
    releasedStarts.swap(g_groupList.starts);
}

size_t GroupCount() {
    std::lock_guard<std::mutex> guard(g_groupList.lock);
    return g_groupList.starts.size();
}

DuplicateGroup GroupAt(size_t number) {
    std::lock_guard<std::mutex> guard(g_groupList.lock);
    return CopyOfGroup(number);
}

size_t CopyGroupsFrom(size_t first, std::vector<DuplicateGroup>& copies) {
    std::lock_guard<std::mutex> guard(g_groupList.lock);
    const size_t end = g_groupList.starts.size();
    for (size_t number = first; number < end; ++number) copies.push_back(CopyOfGroup(number));
    return end;
}
