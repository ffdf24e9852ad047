#include "engine/group_under_construction.h"

#include "engine/catalogue.h"

bool GroupUnderConstruction::IsSamePhysicalFileAsMember(int32_t candidate) {
    if (!referenceIdentityKnown) {
        FileIdentity identity;
        // An unidentifiable reference still groups: its copies are files
        // with contents proven equal byte by byte.
        if (QueryFileIdentity(Record(static_cast<size_t>(members.front())).path, identity))
            identities.push_back(identity);
        referenceIdentityKnown = true;
    }
    FileIdentity identity;
    if (!QueryFileIdentity(Record(static_cast<size_t>(candidate)).path, identity)) return true;  // gone since
    for (const FileIdentity& member : identities) {
        if (member == identity) return true;
    }
    identities.push_back(identity);
    return false;
}
