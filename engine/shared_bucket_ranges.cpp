#include "engine/shared_bucket_ranges.h"

#include <exception>

#include "engine/analysis_state.h"

namespace {

bool TakeOwnBucket(SharedBucketRange& range, size_t& bucket) {
    std::lock_guard<std::mutex> guard(range.lock);
    if (range.ownerNext >= range.helpEnd) return false;
    bucket = range.ownerNext++;
    return true;
}

// The slot stays where it is: a deque keeps its elements in place as it
// grows. It is made before the bucket is taken, so that a failure to make
// it takes nothing the owner would wait for.
HelpedBucket* TakeBucketToHelp(SharedBucketRange& range, size_t& bucket) {
    std::lock_guard<std::mutex> guard(range.lock);
    if (range.helpEnd <= range.ownerNext) return nullptr;
    range.helped.emplace_back();
    bucket = --range.helpEnd;
    return &range.helped.back();
}

// The owner waits for every bucket taken: it is finished whatever happens.
bool GroupForOwner(BucketGrouper groupBucket, size_t bucket, std::vector<DuplicateGroup>& groups) {
    try {
        return !StopRequested() && groupBucket(bucket, &groups);
    } catch (const std::exception&) {
        StopAfterFailure();
        return false;
    }
}

}  // namespace

void SharedBucketRange::Reset(size_t first, size_t rangeEnd) {
    ownerNext = first;
    helpEnd = rangeEnd;
    end = rangeEnd;
    helped.clear();
}

bool GroupOwnRange(SharedBucketRange& range, BucketGrouper groupBucket) {
    size_t bucket = 0;
    while (TakeOwnBucket(range, bucket)) {
        if (!groupBucket(bucket, nullptr)) return false;
    }
    // Nothing is taken any more: helpers stopped where the owner ended, and
    // a finished slot is never touched again by its helper.
    size_t helpedFirst = 0;
    {
        std::lock_guard<std::mutex> guard(range.lock);
        helpedFirst = range.helpEnd;
    }
    for (size_t k = helpedFirst; k < range.end; ++k) {
        HelpedBucket* slot = nullptr;
        {
            std::unique_lock<std::mutex> guard(range.lock);
            slot = &range.helped[range.end - 1 - k];
            range.helpedFinished.wait(guard, [slot] { return slot->finished; });
        }
        if (!slot->completed) return false;
        for (DuplicateGroup& group : slot->groups) AppendGroup(std::move(group));
    }
    return true;
}

void HelpOtherRanges(SharedBucketRange* ranges, size_t rangeCount, BucketGrouper groupBucket) {
    for (size_t r = rangeCount; r-- > 0;) {
        SharedBucketRange& range = ranges[r];
        size_t bucket = 0;
        while (HelpedBucket* slot = TakeBucketToHelp(range, bucket)) {
            std::vector<DuplicateGroup> groups;
            const bool completed = GroupForOwner(groupBucket, bucket, groups);
            {
                std::lock_guard<std::mutex> guard(range.lock);
                slot->groups = std::move(groups);
                slot->completed = completed;
                slot->finished = true;
            }
            range.helpedFinished.notify_all();
            if (!completed) return;
        }
    }
}
