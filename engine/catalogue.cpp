#include "engine/catalogue.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <stdexcept>

#include "engine/folder_listing.h"
#include "platform/reserve_ahead.h"

Catalogue g_catalogue;

BucketSearch FindSizeBucket(int64_t size) {
    const std::vector<SizeBucket>& buckets = g_catalogue.buckets;
    size_t low = 0;
    size_t high = buckets.size();
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        if (buckets[middle].size == size) return {true, middle};
        if (buckets[middle].size < size)
            low = middle + 1;
        else
            high = middle;
    }
    return {false, low};
}

uint32_t AddFolder(const std::string& prefix) {
    ReserveOneMore(g_catalogue.folders);
    g_catalogue.folders.push_back(prefix);
    return static_cast<uint32_t>(g_catalogue.folders.size() - 1);
}

void AddFile(uint32_t folder, const std::string& name, int64_t size) {
    // Everything that can fail for want of memory comes first, so that a
    // failure leaves the catalogue and the size table as they were.
    if (g_catalogue.names.size() + name.size() > std::numeric_limits<uint32_t>::max()) {
        throw std::length_error("catalogue name pool");
    }
    std::vector<FileRecord>& records = g_catalogue.records;
    std::vector<FolderRun>& runs = g_catalogue.folderRuns;
    const bool newRun = runs.empty() || runs.back().folder != folder;
    ReserveOneMore(records);
    ReserveOneMore(g_catalogue.done);
    ReserveOneMore(g_catalogue.names, name.size());
    if (newRun) ReserveOneMore(runs);
    const int32_t index = static_cast<int32_t>(records.size());
    BucketSearch search = FindSizeBucket(size);
    if (!search.found)
        g_catalogue.buckets.insert(g_catalogue.buckets.begin() + search.position, SizeBucket{size, 0, index, index});
    FileRecord record;
    record.size = size;
    record.nameOffset = static_cast<uint32_t>(g_catalogue.names.size());
    g_catalogue.names += name;
    records.push_back(record);
    g_catalogue.done.push_back(0);
    if (newRun) runs.push_back(FolderRun{index, folder});
    SizeBucket& bucket = g_catalogue.buckets[search.position];
    if (bucket.count > 0) records[static_cast<size_t>(bucket.lastRecord)].nextOfSameSize = index;
    ++bucket.count;
    bucket.lastRecord = index;
}

void AddFile(const std::string& path, int64_t size) {
    const size_t separator = path.rfind(kPathSeparator);
    const std::string prefix = separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
    const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    const bool sameFolder = !g_catalogue.folders.empty() && g_catalogue.folders.back() == prefix;
    AddFile(sameFolder ? static_cast<uint32_t>(g_catalogue.folders.size() - 1) : AddFolder(prefix), name, size);
}

std::string RecordPath(size_t index) {
    const std::vector<FileRecord>& records = g_catalogue.records;
    const std::vector<FolderRun>& runs = g_catalogue.folderRuns;
    // The last run that starts at or before the record holds it.
    const auto run = std::upper_bound(runs.begin(), runs.end(), static_cast<int32_t>(index),
                                      [](int32_t record, const FolderRun& r) { return record < r.firstRecord; });
    std::string path = g_catalogue.folders[std::prev(run)->folder];
    const size_t nameEnd = index + 1 < records.size() ? records[index + 1].nameOffset : g_catalogue.names.size();
    path.append(g_catalogue.names, records[index].nameOffset, nameEnd - records[index].nameOffset);
    return path;
}

void ClearCatalogue() {
    // Swap with empties so that a huge previous run gives its memory back.
    std::vector<FileRecord>().swap(g_catalogue.records);
    std::vector<uint8_t>().swap(g_catalogue.done);
    std::vector<FolderRun>().swap(g_catalogue.folderRuns);
    std::vector<SizeBucket>().swap(g_catalogue.buckets);
    std::vector<std::string>().swap(g_catalogue.folders);
    std::string().swap(g_catalogue.names);
}
