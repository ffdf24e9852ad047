// Forms the groups of identical files of a range of size buckets.
#pragma once

#include <cstddef>
#include <vector>

#include "engine/group_list.h"

// Groups every bucket of [first, end) of the size table, appends groups of
// two or more to the group list, marks records done and counts each record
// handled. Returns early, dropping the group under construction, once a stop
// is requested.
void GroupBuckets(size_t first, size_t end);

// Groups bucket `bucket` alone, in the order the group list must receive its
// groups: ascending reference. Each finished group is appended to the group
// list, or kept in `held` when that is given. False when stopped; the groups
// already delivered are complete and genuine.
bool GroupOneBucket(size_t bucket, std::vector<DuplicateGroup>* held = nullptr);
