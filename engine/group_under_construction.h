// The group being formed around one reference.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/file_identity.h"
#include "engine/group_list.h"

// Keeps the physical identity of each member, so that a file seen under two
// paths (a hard link, a link to a file or folder) never becomes a
// "duplicate" of itself: deleting that copy would delete the only one.
struct GroupUnderConstruction {
    DuplicateGroup members;
    std::vector<FileIdentity> identities;
    bool referenceIdentityKnown = false;

    // Asked only once the contents are proven equal; a candidate that cannot
    // be identified any more counts as the same file, so it does not join.
    bool IsSamePhysicalFileAsMember(int32_t candidate);
};
