// Reading a file for comparison: a move-only owner of the open file.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

struct OpenedFile;  // the platform's open file, defined per platform
struct OpenedFileCloser {
    void operator()(OpenedFile* file) const;
};
using InputFile = std::unique_ptr<OpenedFile, OpenedFileCloser>;

// Opens a file for sequential reading; null when it cannot be opened.
InputFile OpenInputFile(const std::string& path);

// Reads up to `count` bytes, retrying short reads; returns fewer only at the
// end of the file or on a read error.
size_t ReadInputFile(OpenedFile& file, void* buffer, size_t count);
