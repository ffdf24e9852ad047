// Forms the groups of identical files of a range of size buckets.
#pragma once

#include <cstddef>

// Groups every bucket of [first, end) of the size table, appends groups of
// two or more to the group list, marks records done and counts each record
// handled. Returns early, dropping the group under construction, once a stop
// is requested.
void GroupBuckets(size_t first, size_t end);
