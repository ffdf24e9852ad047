#include "engine/compare_files.h"

#include <cstring>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"

bool CompareFiles(int32_t reference, int32_t other) {
    InputFile referenceFile = OpenInputFile(RecordPath(reference));
    if (!referenceFile) return false;
    InputFile otherFile = OpenInputFile(RecordPath(other));
    if (!otherFile) return false;
    return CompareFiles(*referenceFile, *otherFile, Record(reference).size, StopRequested);
}

bool CompareFiles(OpenedFile& reference, OpenedFile& other, int64_t size, bool (*stopRequested)()) {
    const size_t chunk = ChunkLengthForSize(size);
    // Per call, so that concurrent comparisons on different workers share nothing.
    char referenceChunk[kLargeFileChunk];
    char otherChunk[kLargeFileChunk];
    for (;;) {
        size_t referenceGot = ReadInputFile(reference, referenceChunk, chunk);
        size_t otherGot = ReadInputFile(other, otherChunk, chunk);
        // A file that shrank or grew since the scan must not pass as equal
        // through zero padding: the amounts read must match too.
        if (referenceGot != otherGot) return false;
        if (std::memcmp(referenceChunk, otherChunk, referenceGot) != 0) return false;
        if (stopRequested()) return false;
        if (referenceGot < chunk) return true;  // both ended at the same point
    }
}
