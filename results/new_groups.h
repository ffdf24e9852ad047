// What the results tree shows of the groups a run has found: one label and
// the members' paths per group, collected under the group-list lock and
// shown after it is released.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PresentedGroup {
    std::string label;               // "No.%d  (%s byte)"
    std::vector<std::string> paths;  // the members' full paths, in group order
};

// "No.<number>  (<size with digit grouping> byte)".
std::string GroupLabel(int32_t number, int64_t size);

// Reads a label that GroupLabel wrote back into its number and size, so the
// tree's own texts tell what a group holds. False for any other text.
bool ParseGroupLabel(const std::string& label, int32_t& number, int64_t& size);

// The groups from `cursor` to the current end of the group list; moves the
// cursor to that end. A cursor at or past the end yields nothing.
std::vector<PresentedGroup> CollectNewGroups(int32_t& cursor);
