// The process-wide catalogue (every file found, in discovery order) and the
// size table beside it (ascending sizes, each with its number of files).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/file_record.h"

struct Catalogue {
    std::vector<FileRecord> records;  // index = catalogue index
    std::vector<SizeBucket> buckets;  // ascending by size, no size twice
};

// The one catalogue of the process. Filled by the coordinator before the
// workers start; afterwards only done flags change.
extern Catalogue g_catalogue;

struct BucketSearch {
    bool found = false;
    size_t position = 0;  // the bucket, or where a bucket for the size belongs
};

void AddFile(const std::string& path, int64_t size);
BucketSearch FindSizeBucket(int64_t size);
void ClearCatalogue();

inline size_t RecordCount() { return g_catalogue.records.size(); }
inline FileRecord& Record(size_t index) { return g_catalogue.records[index]; }
inline size_t BucketCount() { return g_catalogue.buckets.size(); }
inline const SizeBucket& Bucket(size_t index) { return g_catalogue.buckets[index]; }
