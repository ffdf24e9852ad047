#include "engine/group_buckets.h"

#include <cstdint>
#include <vector>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/compare_files.h"
#include "engine/file_identity.h"
#include "engine/group_list.h"

namespace {

// The group being formed around one reference, with the physical identity
// of each member, so that a file seen under two paths (a hard link, a link
// to a file or folder) never becomes a "duplicate" of itself: deleting that
// copy would delete the only one.
struct GroupUnderConstruction {
    DuplicateGroup members;
    std::vector<FileIdentity> identities;
    bool referenceIdentityKnown = false;

    bool IsSamePhysicalFileAsMember(int32_t candidate) {
        if (!referenceIdentityKnown) {
            FileIdentity identity;
            // An unidentifiable reference still groups: its copies are files
            // with contents proven equal byte by byte.
            if (QueryFileIdentity(Record(members.front()).path, identity)) identities.push_back(identity);
            referenceIdentityKnown = true;
        }
        FileIdentity identity;
        if (!QueryFileIdentity(Record(candidate).path, identity)) return true;  // gone since the comparison
        for (const FileIdentity& member : identities) {
            if (member == identity) return true;
        }
        identities.push_back(identity);
        return false;
    }
};

void CountProcessed() { g_analysis.processed.fetch_add(1, std::memory_order_relaxed); }

// Groups one bucket of two or more files. False when stopped.
bool GroupOneBucket(int64_t size) {
    const size_t recordCount = RecordCount();
    size_t passStart = 0;
    for (;;) {
        GroupUnderConstruction group;
        size_t nextStart = passStart;
        for (size_t i = passStart; i < recordCount; ++i) {
            if (StopRequested()) return false;
            FileRecord& record = Record(i);
            if (record.size != size || record.done) continue;
            int32_t index = static_cast<int32_t>(i);
            if (group.members.empty()) {
                record.done = true;
                group.members.push_back(index);
                CountProcessed();
            } else if (CompareFiles(group.members.front(), index) && !group.IsSamePhysicalFileAsMember(index)) {
                record.done = true;
                group.members.push_back(index);
                CountProcessed();
            } else if (nextStart == passStart) {
                nextStart = i;
            }
        }
        if (group.members.size() >= 2) AppendGroup(std::move(group.members));
        if (nextStart == passStart) return true;
        passStart = nextStart;
    }
}

}  // namespace

void GroupBuckets(size_t first, size_t end) {
    for (size_t k = first; k < end; ++k) {
        const SizeBucket& bucket = Bucket(k);
        if (bucket.count == 1) {
            CountProcessed();
            continue;
        }
        if (!GroupOneBucket(bucket.size)) return;
    }
}
