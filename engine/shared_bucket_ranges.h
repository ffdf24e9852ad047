// Lets a worker that has finished its own range of buckets take whole
// buckets off the back of a busier worker's range. Only the owner appends
// to the group list, in ascending order of size as ever, so the group list
// reads as if each worker had done its range alone.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

#include "engine/group_list.h"

// A bucket that a helper grouped for the owner of its range.
struct HelpedBucket {
    bool finished = false;
    bool completed = false;  // false when the helper stopped
    std::vector<DuplicateGroup> groups;
};

struct SharedBucketRange {
    std::mutex lock;
    std::condition_variable helpedFinished;
    size_t ownerNext = 0;  // the owner takes buckets from here upwards
    size_t helpEnd = 0;    // helpers have taken [helpEnd, end), from the back
    size_t end = 0;
    std::deque<HelpedBucket> helped;  // helped[i] holds bucket end - 1 - i

    void Reset(size_t first, size_t rangeEnd);
};

// Groups one bucket: each finished group goes to the group list, or into
// `held` when that is given. False when stopped.
using BucketGrouper = bool (*)(size_t bucket, std::vector<DuplicateGroup>* held);

// The owner's part: groups its buckets in ascending order, then appends
// those that helpers took, waiting for each. False when stopped.
bool GroupOwnRange(SharedBucketRange& range, BucketGrouper groupBucket);

// An idle worker's part: until no range has a bucket left to take, takes the
// last one of the highest-numbered range that has any (the largest sizes sit
// at the back of the last ranges) and groups it for its owner.
void HelpOtherRanges(SharedBucketRange* ranges, size_t rangeCount, BucketGrouper groupBucket);
