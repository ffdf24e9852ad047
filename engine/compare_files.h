// Byte-by-byte comparison of two files of the same size.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/input_file.h"

// Chunk length by catalogued size: small files in 1024-byte chunks, others
// in 10240-byte chunks.
constexpr size_t kSmallFileChunk = 1024;
constexpr size_t kLargeFileChunk = 10240;
constexpr int64_t kSmallFileLimit = 2048;

inline size_t ChunkLengthForSize(int64_t size) { return size <= kSmallFileLimit ? kSmallFileChunk : kLargeFileChunk; }

// True when both catalogued files open, deliver the same bytes in the same
// amounts at every read and end at the same point. False when they differ,
// when either cannot be opened, or when a stop is requested (checked after
// each chunk).
bool CompareFiles(int32_t reference, int32_t other);

// The same for two files already open and read from where they stand, with
// the caller's own stop (asked after each chunk).
bool CompareFiles(OpenedFile& reference, OpenedFile& other, int64_t size, bool (*stopRequested)());
