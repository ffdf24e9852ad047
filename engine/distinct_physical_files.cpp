#include "engine/distinct_physical_files.h"

#include <algorithm>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/file_identity.h"

namespace {

struct IdentifiedPath {
    FileIdentity identity;
    size_t position;  // in the bucket's members

    bool operator<(const IdentifiedPath& other) const {
        if (identity != other.identity) return identity < other.identity;
        return position < other.position;
    }
};

}  // namespace

bool KeepFirstPathOfEachPhysicalFile(std::vector<int32_t>& members, std::vector<int32_t>& leftOut) {
    leftOut.clear();
    std::vector<IdentifiedPath> identified;
    identified.reserve(members.size());
    for (size_t position = 0; position < members.size(); ++position) {
        if (StopRequested()) return false;
        IdentifiedPath path{FileIdentity{}, position};
        if (QueryFileIdentity(RecordPath(static_cast<size_t>(members[position])), path.identity))
            identified.push_back(path);
    }
    // Sorted by identity, then position: the first of each run of equal
    // identities is the path that stays.
    std::sort(identified.begin(), identified.end());
    std::vector<bool> keep(members.size(), false);
    for (size_t i = 0; i < identified.size(); ++i) {
        if (i == 0 || identified[i].identity != identified[i - 1].identity) keep[identified[i].position] = true;
    }
    size_t kept = 0;
    for (size_t position = 0; position < members.size(); ++position) {
        if (keep[position]) {
            members[kept++] = members[position];
        } else {
            leftOut.push_back(members[position]);
        }
    }
    members.resize(kept);
    return true;
}
