#include "results/new_groups.h"

#include <cstring>
#include <limits>
#include <mutex>

#include "engine/catalogue.h"
#include "engine/group_list.h"
#include "results/format_thousands.h"

std::string GroupLabel(int32_t number, int64_t size) {
    return "No." + std::to_string(number) + "  (" + FormatThousands(size) + " byte)";
}

namespace {

// Reads decimal digits at `position`, passing over "," where `grouped`;
// false when there is no digit or the value passes `limit`. Where the commas
// stand is checked by the caller's round trip.
bool ReadDigits(const std::string& text, size_t& position, bool grouped, int64_t limit, int64_t& value) {
    const size_t start = position;
    value = 0;
    for (; position < text.size(); ++position) {
        const char c = text[position];
        if (grouped && c == ',') continue;
        if (c < '0' || c > '9') break;
        if (value > (limit - (c - '0')) / 10) return false;
        value = value * 10 + (c - '0');
    }
    return position > start;
}

bool Expect(const std::string& text, size_t& position, const char* literal) {
    const size_t length = std::strlen(literal);
    if (text.compare(position, length, literal) != 0) return false;
    position += length;
    return true;
}

}  // namespace

bool ParseGroupLabel(const std::string& label, int32_t& number, int64_t& size) {
    size_t position = 0;
    int64_t parsedNumber = 0;
    int64_t parsedSize = 0;
    if (!Expect(label, position, "No.") ||
        !ReadDigits(label, position, false, std::numeric_limits<int32_t>::max(), parsedNumber) ||
        !Expect(label, position, "  (") ||
        !ReadDigits(label, position, true, std::numeric_limits<int64_t>::max(), parsedSize) ||
        !Expect(label, position, " byte)") || position != label.size()) {
        return false;
    }
    // Only the exact spelling GroupLabel gives counts: "1,0,00" is no size.
    if (GroupLabel(static_cast<int32_t>(parsedNumber), parsedSize) != label) return false;
    number = static_cast<int32_t>(parsedNumber);
    size = parsedSize;
    return true;
}

std::vector<PresentedGroup> CollectNewGroups(int32_t& cursor) {
    // Only the members' indices are copied under the lock; labels and paths
    // are built after its release, so the workers never wait on them. The
    // catalogue's sizes and paths do not change while the workers run.
    // The cursor moves only once every label and path exists: a hand-over
    // that runs out of memory leaves its groups for the next one.
    std::vector<DuplicateGroup> fresh;
    int32_t first = 0;
    int32_t end = 0;
    {
        std::lock_guard<std::mutex> guard(g_groupList.lock);
        end = static_cast<int32_t>(g_groupList.groups.size());
        first = cursor < end ? cursor : end;
        fresh.assign(g_groupList.groups.begin() + first, g_groupList.groups.end());
    }
    std::vector<PresentedGroup> presented(fresh.size());
    for (size_t i = 0; i < fresh.size(); ++i) {
        const DuplicateGroup& group = fresh[i];
        PresentedGroup& shown = presented[i];
        shown.label = GroupLabel(first + static_cast<int32_t>(i), Record(group.front()).size);
        shown.paths.reserve(group.size());
        for (int32_t member : group) shown.paths.push_back(RecordPath(member));
    }
    cursor = end;
    return presented;
}
