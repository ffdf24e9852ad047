#include "tests/engine/reference_grouping.h"

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/compare_files.h"
#include "engine/group_list.h"
#include "engine/group_under_construction.h"

namespace {

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

void ReferenceGroupBuckets(size_t first, size_t end) {
    for (size_t k = first; k < end; ++k) {
        const SizeBucket& bucket = Bucket(k);
        if (bucket.count == 1) {
            CountProcessed();
            continue;
        }
        if (!GroupOneBucket(bucket.size)) return;
    }
}
