#include "engine/group_buckets.h"

#include <algorithm>
#include <cstdint>

#include "engine/analysis_state.h"
#include "engine/candidate_sets.h"
#include "engine/catalogue.h"
#include "engine/compare_files.h"
#include "engine/distinct_physical_files.h"
#include "engine/shared_bucket_ranges.h"

namespace {

void CountProcessed(uint32_t records = 1) { g_analysis.processed.fetch_add(records, std::memory_order_relaxed); }

void Deliver(DuplicateGroup group, std::vector<DuplicateGroup>* held) {
    if (held)
        held->push_back(std::move(group));
    else
        AppendGroup(std::move(group));
}

// A record that cannot be read leaves its bucket: it joins no group, and
// the others go on without it.
void LeaveBucket(int32_t index) {
    SetDone(static_cast<size_t>(index));
    CountProcessed();
}

// One pass as over the whole bucket, but over the candidates only: the
// lowest member is the reference, each other member that the byte
// comparison proves equal joins, and the rest stay in `set` for a later
// pass. Only the candidates could have matched, so the group is the one the
// whole bucket's pass would form. A reference that fails to read leaves,
// and the pass is made again without it. False when stopped; a group that
// a stopped comparison may have cut short is dropped rather than delivered.
bool RunPass(CandidateSet& set, std::vector<DuplicateGroup>* held) {
    DuplicateGroup group;
    std::vector<int32_t> rest;
    for (size_t position = 0; position < set.members.size(); ++position) {
        const int32_t index = set.members[position];
        if (StopRequested()) return false;
        if (group.empty()) {
            group.push_back(index);
            continue;
        }
        switch (CompareRecords(group.front(), index)) {
        case Comparison::kEqual:
            group.push_back(index);
            break;
        case Comparison::kDifferent:
            set.comparisonFailed = true;
            rest.push_back(index);
            break;
        case Comparison::kOtherUnreadable:
            LeaveBucket(index);
            break;
        case Comparison::kReferenceUnreadable:
            LeaveBucket(group.front());
            rest.insert(rest.end(), group.begin() + 1, group.end());
            rest.insert(rest.end(), set.members.begin() + static_cast<std::ptrdiff_t>(position), set.members.end());
            std::sort(rest.begin(), rest.end());
            set.members.swap(rest);
            return true;
        case Comparison::kStopped:
            return false;
        }
    }
    if (StopRequested()) return false;
    for (int32_t index : group) {
        SetDone(static_cast<size_t>(index));
        CountProcessed();
    }
    if (group.size() >= 2) Deliver(std::move(group), held);
    set.members.swap(rest);
    return true;
}

// Sets are taken lowest first member first, so that passes run in the order
// of their references, as they would over the whole bucket.
bool FirstMemberLater(const CandidateSet& a, const CandidateSet& b) { return a.members.front() > b.members.front(); }

}  // namespace

bool GroupOneBucket(size_t bucketIndex, std::vector<DuplicateGroup>* held) {
    const SizeBucket& bucket = Bucket(bucketIndex);
    if (bucket.count == 1) {
        CountProcessed();
        return true;
    }
    CandidateSet all;
    all.members.reserve(static_cast<size_t>(bucket.count));
    for (int32_t i = bucket.firstRecord; i != kNoRecord; i = Record(static_cast<size_t>(i)).nextOfSameSize) {
        if (StopRequested()) return false;
        all.members.push_back(i);
    }
    std::vector<CandidateSet> waiting;
    waiting.push_back(std::move(all));
    std::vector<CandidateSet> pieces;
    std::vector<int32_t> leftOut;
    while (!waiting.empty()) {
        std::pop_heap(waiting.begin(), waiting.end(), FirstMemberLater);
        CandidateSet set = std::move(waiting.back());
        waiting.pop_back();
        const Narrowing next = NextNarrowing(set, bucket.size);
        if (next != set.stage) {
            if (!SplitCandidates(set, bucket.size, next, pieces)) return false;
            for (CandidateSet& piece : pieces) {
                waiting.push_back(std::move(piece));
                std::push_heap(waiting.begin(), waiting.end(), FirstMemberLater);
            }
            continue;
        }
        // A physical file takes part in its bucket once, by its first path.
        // All its paths have its contents and so stay together through
        // every split: keeping the first of each just before a set's first
        // pass keeps the first of each in the bucket, and the identities are
        // read only where files may still be equal. The paths left out count
        // as handled.
        if (!set.onePathPerFile && set.members.size() >= 2) {
            if (!KeepFirstPathOfEachPhysicalFile(set.members, leftOut)) return false;
            for (int32_t index : leftOut) LeaveBucket(index);
            set.onePathPerFile = true;
            // The first member may have gone: the set waits its turn again.
            if (!set.members.empty()) {
                waiting.push_back(std::move(set));
                std::push_heap(waiting.begin(), waiting.end(), FirstMemberLater);
            }
            continue;
        }
        if (!RunPass(set, held)) return false;
        if (!set.members.empty()) {
            waiting.push_back(std::move(set));
            std::push_heap(waiting.begin(), waiting.end(), FirstMemberLater);
        }
    }
    return true;
}

void GroupBuckets(size_t first, size_t end) {
    SharedBucketRange range;
    range.Reset(first, end);
    GroupOwnRange(range, GroupOneBucket);
}
