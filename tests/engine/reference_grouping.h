// The passes of the grouping exactly as first written: every pass of every
// bucket walks the catalogue from its pass start and compares each file of
// the bucket's size with the pass's reference; of the paths of one physical
// file only the first takes part. Slow (quadratic in a bucket
// of different files), and kept only as the yardstick for the engine.
#pragma once

#include <cstddef>

void ReferenceGroupBuckets(size_t first, size_t end);
