// Reading a file for comparison: a move-only owner of the open file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/file_identity.h"

struct OpenedFile;  // the platform's open file, defined per platform
struct OpenedFileCloser {
    void operator()(OpenedFile* file) const;
};
using InputFile = std::unique_ptr<OpenedFile, OpenedFileCloser>;

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

// Reads up to `count` bytes, retrying short reads; returns fewer only at the
// end of the file or on a read error.
size_t ReadInputFile(OpenedFile& file, void* buffer, size_t count);

// The same, from `offset` on; the position used by ReadInputFile is left
// wherever the platform leaves it.
size_t ReadInputFileAt(OpenedFile& file, int64_t offset, void* buffer, size_t count);
