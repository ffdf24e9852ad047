#include "tests/engine/reference_grouping.h"

#include <vector>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/compare_files.h"
#include "engine/file_identity.h"
#include "engine/group_list.h"

namespace {

void CountProcessed() { g_analysis.processed.fetch_add(1, std::memory_order_relaxed); }

// Of the records of `size`, only the first path of each physical file, in
// catalogue order, takes part: the others are done and count as handled.
void LeaveOutLaterPaths(int64_t size) {
    std::vector<FileIdentity> seen;
    for (size_t i = 0; i < RecordCount(); ++i) {
        if (Record(i).size != size) continue;
        FileIdentity identity;
        bool first = QueryFileIdentity(RecordPath(i), identity);
        for (const FileIdentity& earlier : seen) first = first && earlier != identity;
        if (first) {
            seen.push_back(identity);
        } else {
            SetDone(i);
            CountProcessed();
        }
    }
}

// Groups one bucket of two or more files. False when stopped.
bool GroupOneBucket(int64_t size) {
    const size_t recordCount = RecordCount();
    LeaveOutLaterPaths(size);
    size_t passStart = 0;
    for (;;) {
        DuplicateGroup group;
        size_t nextStart = passStart;
        for (size_t i = passStart; i < recordCount; ++i) {
            if (StopRequested()) return false;
            const FileRecord& record = Record(i);
            if (record.size != size || IsDone(i)) continue;
            int32_t index = static_cast<int32_t>(i);
            if (group.empty() || CompareFiles(group.front(), index)) {
                SetDone(i);
                group.push_back(index);
                CountProcessed();
            } else if (nextStart == passStart) {
                nextStart = i;
            }
        }
        if (group.size() >= 2) AppendGroup(std::move(group));
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
