// The records the analysis works on: one per catalogued file, one per size.
#pragma once

#include <cstdint>
#include <string>

constexpr int32_t kNoRecord = -1;

// One catalogued file. Sizes are full 64-bit lengths: files whose lengths
// differ by a multiple of 4 GiB must never share a bucket. The path is not
// held here whole: its name is a stretch of the catalogue's name pool and
// its folder an entry of the folder table, and the done flag sits beside the
// records, so that a record is 16 bytes and a million files cost a few dozen
// bytes each (catalogue.h gives the path and the flag).
struct FileRecord {
    int64_t size = 0;
    // The next record of the same size in catalogue order, so that a bucket's
    // files are found without walking the catalogue.
    int32_t nextOfSameSize = kNoRecord;
    // Where the name starts in the name pool; it ends where the next
    // record's starts.
    uint32_t nameOffset = 0;
};

// One size that occurs in the catalogue, with how many files have it and
// the ends of the chain of its records.
struct SizeBucket {
    int64_t size = 0;
    int32_t count = 0;
    int32_t firstRecord = kNoRecord;
    int32_t lastRecord = kNoRecord;
};
