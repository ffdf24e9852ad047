#include "engine/catalogue.h"

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

void AddFile(const std::string& path, int64_t size) {
    // Everything that can fail for want of memory comes first, so that a
    // failure leaves the catalogue and the size table as they were.
    FileRecord record{size, false, kNoRecord, path};
    std::vector<FileRecord>& records = g_catalogue.records;
    if (records.size() == records.capacity()) records.reserve(records.empty() ? 64 : records.size() * 2);
    const int32_t index = static_cast<int32_t>(records.size());
    BucketSearch search = FindSizeBucket(size);
    if (!search.found)
        g_catalogue.buckets.insert(g_catalogue.buckets.begin() + search.position, SizeBucket{size, 0, index, index});
    records.push_back(std::move(record));
    SizeBucket& bucket = g_catalogue.buckets[search.position];
    if (bucket.count > 0) records[static_cast<size_t>(bucket.lastRecord)].nextOfSameSize = index;
    ++bucket.count;
    bucket.lastRecord = index;
}

void ClearCatalogue() {
    // Swap with empties so that a huge previous run gives its memory back.
    std::vector<FileRecord>().swap(g_catalogue.records);
    std::vector<SizeBucket>().swap(g_catalogue.buckets);
}
