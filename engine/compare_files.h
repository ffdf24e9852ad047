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

// How a comparison ended. A file that cannot be opened or whose read fails
// is unreadable: its bytes are unknown, so it is neither equal nor
// different, and the grouping leaves it out.
enum class Comparison {
    kEqual,
    kDifferent,
    kReferenceUnreadable,
    kOtherUnreadable,
    kStopped,
};

// Compares two catalogued files, opening both afresh.
Comparison CompareRecords(int32_t reference, int32_t other);

// True only when CompareRecords finds them equal.
bool CompareFiles(int32_t reference, int32_t other);

// Two files already open, from their first byte: equal only when each gives
// exactly `size` bytes and then ends, with no read failing, and every byte
// matches. The caller's stop is asked after each chunk.
Comparison CompareOpenFiles(OpenedFile& reference, OpenedFile& other, int64_t size, bool (*stopRequested)());
