#include "results/new_groups.h"

#include <mutex>

#include "engine/catalogue.h"
#include "engine/group_list.h"
#include "results/format_thousands.h"

std::string GroupLabel(int32_t number, int64_t size) {
    return "No." + std::to_string(number) + "  (" + FormatThousands(size) + " byte)";
}

std::vector<PresentedGroup> CollectNewGroups(int32_t& cursor) {
    std::vector<PresentedGroup> presented;
    // The lock covers the copies only; the caller shows them after release.
    std::lock_guard<std::mutex> guard(g_groupList.lock);
    const int32_t end = static_cast<int32_t>(g_groupList.groups.size());
    for (int32_t number = cursor; number < end; ++number) {
        const DuplicateGroup& group = g_groupList.groups[number];
        PresentedGroup shown;
        shown.label = GroupLabel(number, Record(group.front()).size);
        shown.paths.reserve(group.size());
        for (int32_t member : group) shown.paths.push_back(Record(member).path);
        presented.push_back(std::move(shown));
    }
    cursor = end;
    return presented;
}
