// Which physical file a path names: two paths with the same identity (hard
// links, symbolic links, folder links) are one file, never duplicates.
#pragma once

#include <cstdint>
#include <string>

struct FileIdentity {
    uint64_t volume = 0;  // st_dev, or the volume serial number
    uint64_t index = 0;   // st_ino, or the file index

    bool operator==(const FileIdentity& other) const { return volume == other.volume && index == other.index; }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

// Follows links. False when the path cannot be opened or queried.
bool QueryFileIdentity(const std::string& path, FileIdentity& identity);
