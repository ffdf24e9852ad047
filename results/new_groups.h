// The groups a run has found as the front ends show them: number, size and
// the members' paths, collected under the group-list lock and shown after it
// is released.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PresentedGroup {
    int32_t number = 0;              // the group's number in its run
    int64_t size = 0;                // every member's length in bytes
    std::vector<std::string> paths;  // the members' full paths, in group order
};

// "No.<number>  (<size with digit grouping> byte)".
std::string GroupLabel(int32_t number, int64_t size);

// The groups from `cursor` to the current end of the group list; moves the
// cursor to that end. A cursor at or past the end yields nothing.
std::vector<PresentedGroup> CollectNewGroups(int32_t& cursor);
