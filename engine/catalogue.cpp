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
    const int32_t index = static_cast<int32_t>(g_catalogue.records.size());
    g_catalogue.records.push_back(FileRecord{size, false, kNoRecord, path});
    BucketSearch search = FindSizeBucket(size);
    if (search.found) {
        SizeBucket& bucket = g_catalogue.buckets[search.position];
        ++bucket.count;
        g_catalogue.records[static_cast<size_t>(bucket.lastRecord)].nextOfSameSize = index;
        bucket.lastRecord = index;
    } else {
        g_catalogue.buckets.insert(g_catalogue.buckets.begin() + search.position, SizeBucket{size, 1, index, index});
    }
}

void ClearCatalogue() {
    // Swap with empties so that a huge previous run gives its memory back.
    std::vector<FileRecord>().swap(g_catalogue.records);
    std::vector<SizeBucket>().swap(g_catalogue.buckets);
}
