#include "engine/compare_files.h"

#include <cstring>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/input_file.h"

bool CompareFiles(int32_t reference, int32_t other) {
    InputFile referenceFile = OpenInputFile(Record(reference).path);
    if (!referenceFile) return false;
    InputFile otherFile = OpenInputFile(Record(other).path);
    if (!otherFile) return false;

    const size_t chunk = ChunkLengthForSize(Record(reference).size);
    // Per call, so that concurrent comparisons on different workers share nothing.
    char referenceChunk[kLargeFileChunk];
    char otherChunk[kLargeFileChunk];
    for (;;) {
        size_t referenceGot = ReadInputFile(*referenceFile, referenceChunk, chunk);
        size_t otherGot = ReadInputFile(*otherFile, otherChunk, chunk);
        // A file that shrank or grew since the scan must not pass as equal
        // through zero padding: the amounts read must match too.
        if (referenceGot != otherGot) return false;
        if (std::memcmp(referenceChunk, otherChunk, referenceGot) != 0) return false;
        if (StopRequested()) return false;
        if (referenceGot < chunk) return true;  // both ended at the same point
    }
}
