// The records the analysis works on: one per catalogued file, one per size.
#pragma once

#include <cstdint>
#include <string>

constexpr int32_t kNoRecord = -1;

// One catalogued file. Sizes are full 64-bit lengths: files whose lengths
// differ by a multiple of 4 GiB must never share a bucket.
struct FileRecord {
    int64_t size = 0;
    bool done = false;  // written only by the worker whose range holds `size`
    // The next record of the same size in catalogue order, so that a bucket's
    // files are found without walking the catalogue. Sits in what would
    // otherwise be padding after `done`.
    int32_t nextOfSameSize = kNoRecord;
    std::string path;  // UTF-8 full path, any length
};

// One size that occurs in the catalogue, with how many files have it and
// the ends of the chain of its records.
struct SizeBucket {
    int64_t size = 0;
    int32_t count = 0;
    int32_t firstRecord = kNoRecord;
    int32_t lastRecord = kNoRecord;
};
