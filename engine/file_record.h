// The records the analysis works on: one per catalogued file, one per size.
#pragma once

#include <cstdint>
#include <string>

constexpr int32_t kNoRecord = -1;

// One catalogued file. Sizes are full 64-bit lengths: files whose lengths
// differ by a multiple of 4 GiB must never share a bucket. The path is not
// held here whole: its folder is one entry of the catalogue's folder table
// and its name a stretch of the catalogue's name pool, so that a million
// files cost a few dozen bytes each (catalogue.h gives the path).
struct FileRecord {
    int64_t size = 0;
    // The next record of the same size in catalogue order, so that a bucket's
    // files are found without walking the catalogue.
    int32_t nextOfSameSize = kNoRecord;
    uint32_t folder = 0;      // in the folder table
    uint32_t nameOffset = 0;  // in the name pool
    uint16_t nameLength = 0;  // a name is at most 255 UTF-16 units, 765 bytes of UTF-8
    bool done = false;        // written only by the worker whose range holds `size`
};

// One size that occurs in the catalogue, with how many files have it and
// the ends of the chain of its records.
struct SizeBucket {
    int64_t size = 0;
    int32_t count = 0;
    int32_t firstRecord = kNoRecord;
    int32_t lastRecord = kNoRecord;
};
