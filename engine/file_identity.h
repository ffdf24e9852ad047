// Which physical file a path names: two paths with the same identity (hard
// links, symbolic links, folder links) are one file, never duplicates.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>

// The volume and the file's number on it. Windows gives a 128-bit file ID
// with a 64-bit volume serial where it can (ReFS promises no unique 64-bit
// index), else the 32-bit serial and the 64-bit index; POSIX st_dev, st_ino.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t indexHigh = 0;  // the upper half of a 128-bit file ID, else 0
    uint64_t index = 0;

    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && indexHigh == other.indexHigh && index == other.index;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
    bool operator<(const FileIdentity& other) const {
        return std::tie(volume, indexHigh, index) < std::tie(other.volume, other.indexHigh, other.index);
    }
};

// Follows links. False when the path cannot be opened or queried.
bool QueryFileIdentity(const std::string& path, FileIdentity& identity);
