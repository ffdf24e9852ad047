// The process-wide catalogue (every file found, in discovery order) and the
// size table beside it (ascending sizes, each with its number of files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/file_record.h"

// Consecutive records in one folder: the first of them and the folder.
struct FolderRun {
    int32_t firstRecord = 0;
    uint32_t folder = 0;
};

struct Catalogue {
    std::vector<FileRecord> records;  // index = catalogue index
    // Also by catalogue index: set once the record is assigned. A byte each,
    // so that each worker writes only its own records' flags.
    std::vector<uint8_t> done;
    std::vector<SizeBucket> buckets;  // ascending by size, no size twice
    // Each folder that holds a catalogued file, as its path and one
    // separator; which records lie in which; and every file's name, back to
    // back in catalogue order, in UTF-8.
    std::vector<std::string> folders;
    std::vector<FolderRun> folderRuns;  // ascending first records
    std::string names;
};

// The one catalogue of the process. Filled by the coordinator before the
// workers start; afterwards only done flags change.
extern Catalogue g_catalogue;

struct BucketSearch {
    bool found = false;
    size_t position = 0;  // the bucket, or where a bucket for the size belongs
};

// A folder's entry in the folder table, for the files the walk finds in it;
// `prefix` is the folder's path followed by one separator.
uint32_t AddFolder(const std::string& prefix);
void AddFile(uint32_t folder, const std::string& name, int64_t size);
// The same for a full path, which splits at its last separator (tests and
// front ends that catalogue single files).
void AddFile(const std::string& path, int64_t size);
BucketSearch FindSizeBucket(int64_t size);
void ClearCatalogue();

// A record's full path, made from its folder and its name.
std::string RecordPath(size_t index);

inline size_t RecordCount() { return g_catalogue.records.size(); }
inline FileRecord& Record(size_t index) { return g_catalogue.records[index]; }
inline bool IsDone(size_t index) { return g_catalogue.done[index] != 0; }
inline void SetDone(size_t index, bool done = true) { g_catalogue.done[index] = done ? 1 : 0; }
inline size_t BucketCount() { return g_catalogue.buckets.size(); }
inline const SizeBucket& Bucket(size_t index) { return g_catalogue.buckets[index]; }
