// Telling the files of one size apart cheaply before any byte comparison:
// a set of candidates is split by a digest of the first block, then of the
// last block, then of the whole contents, each stage reading only what the
// one before could not tell apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class Narrowing {
    kSizeOnly,
    kFirstBlock,
    kLastBlock,
    kWholeContents,
};

// Bytes read from each end of a file by the block stages. Files of at most
// one block are wholly known after the first stage, of at most two blocks
// after the second.
constexpr size_t kProbeBlock = 16 * 1024;

// Records of one size that may still hold identical files.
struct CandidateSet {
    std::vector<int32_t> members;  // catalogue indices, ascending
    Narrowing stage = Narrowing::kSizeOnly;
    bool comparisonFailed = false;  // a pass over this set met a differing file
    // Only the first path of each physical file is left (see
    // distinct_physical_files.h); the pieces of a split inherit it.
    bool onePathPerFile = false;
};

// True when `stage` has seen every byte of a file of `size`.
bool StageCoversContents(Narrowing stage, int64_t size);

// The stage that should split `set` before its next pass, or its own stage
// when a pass should come first. A pair goes straight to the byte
// comparison, which is then the cheapest proof either way.
Narrowing NextNarrowing(const CandidateSet& set, int64_t size);

// Splits `set` by the digest that `stage` reads. The pieces keep catalogue
// order inside; a file that cannot be opened or read is a piece of its own
// (alone, it joins no group). False when a stop was requested, with
// `pieces` unusable.
bool SplitCandidates(const CandidateSet& set, int64_t size, Narrowing stage, std::vector<CandidateSet>& pieces);
