#include "engine/candidate_sets.h"

#include <algorithm>
#include <memory>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/content_digest.h"
#include "engine/input_file.h"

namespace {

// Whole contents are read in pieces this large: few calls, and little
// memory for each of the workers that may be reading at once.
constexpr size_t kWholeReadPiece = 256 * 1024;

struct ProbeKey {
    bool readable = false;  // opened, and no read failed
    uint64_t amount = 0;    // bytes delivered: a file that shrank differs
    uint64_t digest = 0;
    int32_t record = 0;

    // Unreadable files sort first and never equal anything.
    bool SameContentsAs(const ProbeKey& other) const {
        return readable && other.readable && amount == other.amount && digest == other.digest;
    }
    bool operator<(const ProbeKey& other) const {
        if (readable != other.readable) return !readable;
        if (digest != other.digest) return digest < other.digest;
        if (amount != other.amount) return amount < other.amount;
        return record < other.record;
    }
};

size_t BlockLength(int64_t size) {
    return static_cast<uint64_t>(size) < kProbeBlock ? static_cast<size_t>(size) : kProbeBlock;
}

// False when stopped.
bool ReadKey(int32_t record, int64_t size, Narrowing stage, std::vector<char>& buffer, ProbeKey& key) {
    key = ProbeKey{};
    key.record = record;
    const bool whole = stage == Narrowing::kWholeContents;
    InputFile file = OpenInputFile(RecordPath(static_cast<size_t>(record)),
                                   whole ? ReadPattern::kSequential : ReadPattern::kProbe);
    if (!file) return true;
    ContentDigest digest;
    if (whole) {
        for (;;) {
            const InputRead read = ReadInputFile(*file, buffer.data(), kWholeReadPiece);
            if (read.failed) return true;
            digest.Add(buffer.data(), read.bytes);
            key.amount += read.bytes;
            if (StopRequested()) return false;
            if (read.bytes < kWholeReadPiece) break;
        }
    } else {
        const size_t length = BlockLength(size);
        const int64_t offset = stage == Narrowing::kLastBlock ? size - static_cast<int64_t>(length) : 0;
        const InputRead read = ReadInputFileAt(*file, offset, buffer.data(), length);
        if (read.failed) return true;
        digest.Add(buffer.data(), read.bytes);
        key.amount = read.bytes;
    }
    key.readable = true;
    key.digest = digest.Finish();
    return true;
}

}  // namespace

bool StageCoversContents(Narrowing stage, int64_t size) {
    switch (stage) {
        case Narrowing::kSizeOnly:
            return size == 0;
        case Narrowing::kFirstBlock:
            return static_cast<uint64_t>(size) <= kProbeBlock;
        case Narrowing::kLastBlock:
            return static_cast<uint64_t>(size) <= 2 * kProbeBlock;
        case Narrowing::kWholeContents:
            return true;
    }
    return true;
}

Narrowing NextNarrowing(const CandidateSet& set, int64_t size) {
    if (set.members.size() < 2 || StageCoversContents(set.stage, size)) return set.stage;
    const bool worthReading = set.members.size() >= 3 || set.comparisonFailed;
    switch (set.stage) {
        case Narrowing::kSizeOnly:
            return worthReading ? Narrowing::kFirstBlock : set.stage;
        case Narrowing::kFirstBlock:
            return worthReading ? Narrowing::kLastBlock : set.stage;
        case Narrowing::kLastBlock:
            // Both ends agree: a pass proves the usual case of true copies at
            // once; only a set in which it met a difference is read whole.
            return set.comparisonFailed ? Narrowing::kWholeContents : set.stage;
        case Narrowing::kWholeContents:
            return set.stage;
    }
    return set.stage;
}

bool SplitCandidates(const CandidateSet& set, int64_t size, Narrowing stage, std::vector<CandidateSet>& pieces) {
    pieces.clear();
    std::vector<char> buffer(stage == Narrowing::kWholeContents ? kWholeReadPiece : kProbeBlock);
    std::vector<ProbeKey> keys(set.members.size());
    for (size_t i = 0; i < set.members.size(); ++i) {
        if (StopRequested()) return false;
        if (!ReadKey(set.members[i], size, stage, buffer, keys[i])) return false;
    }
    std::sort(keys.begin(), keys.end());
    for (size_t i = 0; i < keys.size(); ++i) {
        if (i == 0 || !keys[i].SameContentsAs(keys[i - 1])) {
            pieces.emplace_back();
            pieces.back().stage = stage;
            pieces.back().onePathPerFile = set.onePathPerFile;
        }
        pieces.back().members.push_back(keys[i].record);
    }
    return true;
}
