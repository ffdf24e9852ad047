// A file's length and last-write time as the details text shows them, read
// afresh from the file system (GetFileAttributesExW on Windows, stat on
// POSIX).
#pragma once

#include <cstdint>
#include <string>

struct FileStatus {
    int64_t length = 0;  // the whole length, past 4 GiB too
    // The last-write time in local time.
    int year = 0;
    int month = 0;   // 1-12
    int day = 0;     // 1-31
    int hour = 0;    // 0-23
    int minute = 0;
    int second = 0;
};

// False when the file cannot be found or queried. POSIX reports what a link
// leads to; Windows reports a link's own entry, as its directory lists it.
bool ReadFileStatus(const std::string& path, FileStatus& status);

// The last-write time as a number that orders times (100 ns units on
// Windows, nanoseconds on POSIX); false when the file cannot be queried.
bool ReadLastWriteTime(const std::string& path, int64_t& time);
