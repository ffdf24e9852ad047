#include "results/new_groups.h"

#include <algorithm>

#include "engine/catalogue.h"
#include "engine/group_list.h"
#include "results/format_thousands.h"

std::string GroupLabel(int32_t number, int64_t size) {
    return "No." + std::to_string(number) + "  (" + FormatThousands(size) + " byte)";
}

std::vector<PresentedGroup> CollectNewGroups(int32_t& cursor) {
    // Only the members' indices are copied under the lock; paths are built
    // after its release, so the workers never wait on them. The catalogue's
    // sizes and paths do not change while the workers run.
    // The cursor moves only once every path exists: a hand-over
    // that runs out of memory leaves its groups for the next one.
    std::vector<DuplicateGroup> fresh;
    const int32_t first = std::max(cursor, 0);
    const int32_t end = static_cast<int32_t>(CopyGroupsFrom(static_cast<size_t>(first), fresh));
    std::vector<PresentedGroup> presented(fresh.size());
    for (size_t i = 0; i < fresh.size(); ++i) {
        const DuplicateGroup& group = fresh[i];
        PresentedGroup& shown = presented[i];
        shown.number = first + static_cast<int32_t>(i);
        shown.size = Record(group.front()).size;
        shown.paths.reserve(group.size());
        for (int32_t member : group) shown.paths.push_back(RecordPath(member));
    }
    cursor = end;
    return presented;
}
