// Reading a file for comparison: a move-only owner of the open file. The
// reading itself is platform-free: the platform gives one positional read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/file_identity.h"

struct PlatformFile;  // the platform's open file, defined per platform
struct PlatformFileCloser {
    void operator()(PlatformFile* file) const;
};

struct OpenedFile {
    std::unique_ptr<PlatformFile, PlatformFileCloser> platform;
    uint64_t position = 0;  // where ReadInputFile reads next
    // Reads that reach this offset fail there (see SetReadFaultRule).
    uint64_t failsAt = UINT64_MAX;
};
using InputFile = std::unique_ptr<OpenedFile>;

// How a file will be read, so that the platform reads ahead only where it
// pays: a whole file front to back, or a block or two at chosen places.
enum class ReadPattern {
    kSequential,
    kProbe,
};

// Who else may use a file while it is open here. Comparisons let everyone
// in. A duplicate about to be recycled is held against writers (the shell
// can still move it to the recycle bin), and the file that stays against
// writers and against being deleted or renamed, so neither changes between
// the proof that they are equal and the recycle. POSIX has no such locks.
enum class InputSharing {
    kEveryone,
    kNoWriters,
    kNoWritersNoDeleters,
};

// Opens a file for reading; null when it cannot be opened or is a folder.
InputFile OpenInputFile(const std::string& path, ReadPattern pattern = ReadPattern::kSequential,
                        InputSharing sharing = InputSharing::kEveryone);

// The open file's current length and physical identity.
bool DescribeInputFile(OpenedFile& file, int64_t& length, FileIdentity& identity);

// What a read delivered. Fewer bytes than asked without `failed` is the end
// of the file; `failed` is a read error (a locked range, a bad sector, a
// dropped network share), after which the bytes are not the file's.
struct InputRead {
    size_t bytes = 0;
    bool failed = false;
};

// Reads up to `count` bytes from where the last read ended, retrying short
// reads.
InputRead ReadInputFile(OpenedFile& file, void* buffer, size_t count);

// The same from `offset` on; where ReadInputFile reads next is unchanged.
InputRead ReadInputFileAt(OpenedFile& file, int64_t offset, void* buffer, size_t count);

// Makes reads fail as real faults would, so that what follows a failed read
// can be checked without one: when set, it is asked at every open and
// returns true with `failsAt` for a file whose reads fail from that offset
// on. Set only while no file is being opened (before a run's threads start).
using ReadFaultRule = std::function<bool(const std::string& path, uint64_t& failsAt)>;
void SetReadFaultRule(ReadFaultRule rule);

// The platform's part, for input_file.cpp only.
std::unique_ptr<PlatformFile, PlatformFileCloser> OpenPlatformFile(const std::string& path, ReadPattern pattern,
                                                                   InputSharing sharing);
// One read at `offset`; false on an error.
bool ReadPlatformFileAt(PlatformFile& file, uint64_t offset, void* buffer, size_t count, size_t& got);
bool DescribePlatformFile(PlatformFile& file, int64_t& length, FileIdentity& identity);
