#include "engine/compare_files.h"

#include <cstring>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"

Comparison CompareRecords(int32_t reference, int32_t other) {
    InputFile referenceFile = OpenInputFile(RecordPath(reference));
    if (!referenceFile) return Comparison::kReferenceUnreadable;
    InputFile otherFile = OpenInputFile(RecordPath(other));
    if (!otherFile) return Comparison::kOtherUnreadable;
    return CompareOpenFiles(*referenceFile, *otherFile, Record(reference).size, StopRequested);
}

bool CompareFiles(int32_t reference, int32_t other) { return CompareRecords(reference, other) == Comparison::kEqual; }

Comparison CompareOpenFiles(OpenedFile& reference, OpenedFile& other, int64_t size, bool (*stopRequested)()) {
    const size_t chunk = ChunkLengthForSize(size);
    // Per call, so that concurrent comparisons on different workers share nothing.
    char referenceChunk[kLargeFileChunk];
    char otherChunk[kLargeFileChunk];
    for (int64_t offset = 0;; offset += static_cast<int64_t>(chunk)) {
        // A whole chunk is asked for even at the end: a short read that does
        // not fail is the end of the file, which must come exactly at `size`
        // for both, so that a file that shrank or grew never passes as equal.
        const int64_t remaining = size - offset;
        const size_t expected = remaining < static_cast<int64_t>(chunk) ? static_cast<size_t>(remaining) : chunk;
        const InputRead referenceRead = ReadInputFileAt(reference, offset, referenceChunk, chunk);
        if (referenceRead.failed) return Comparison::kReferenceUnreadable;
        const InputRead otherRead = ReadInputFileAt(other, offset, otherChunk, chunk);
        if (otherRead.failed) return Comparison::kOtherUnreadable;
        if (referenceRead.bytes != expected || otherRead.bytes != expected) return Comparison::kDifferent;
        if (std::memcmp(referenceChunk, otherChunk, expected) != 0) return Comparison::kDifferent;
        if (stopRequested()) return Comparison::kStopped;
        if (expected < chunk) return Comparison::kEqual;
    }
}
