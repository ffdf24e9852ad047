#include "shell/recycle_plan.h"

#include <set>
#include <utility>

#include "engine/compare_files.h"
#include "engine/file_identity.h"

namespace {

bool CanTakePart(const PresentedGroup& group, int64_t& size) {
    int32_t number = 0;
    return group.paths.size() >= 2 && ParseGroupLabel(group.label, number, size);
}

RecycleBatch BatchKeeping(size_t groupIndex, const PresentedGroup& group, size_t kept, int64_t size) {
    RecycleBatch batch;
    batch.group = groupIndex;
    batch.kept = kept;
    batch.size = size;
    for (size_t member = 0; member < group.paths.size(); ++member) {
        if (member != kept) batch.leaving.push_back(member);
    }
    return batch;
}

struct HeldKept {
    InputFile file;
    FileIdentity identity;
};

// The kept file, held against change, when it still opens with its length.
bool HoldKept(const std::string& path, int64_t size, HeldKept& kept) {
    kept.file = OpenInputFile(path, ReadPattern::kSequential, InputSharing::kNoWritersNoDeleters);
    int64_t length = 0;
    if (!kept.file || !DescribeInputFile(*kept.file, length, kept.identity) || length != size) {
        kept.file.reset();
        return false;
    }
    return true;
}

// Every file that stays, by identity: each leaving file is looked up here,
// so a bulk recycle of many groups costs no scan of all of them per file.
using KeptIdentities = std::set<std::pair<uint64_t, uint64_t>>;

bool IsKeptFile(const KeptIdentities& kept, const FileIdentity& identity) {
    return kept.count({identity.volume, identity.index}) > 0;
}

// The leaving file, held against writers, when it is an exact copy of the
// kept one; null otherwise.
InputFile ProveOne(const KeptIdentities& allKept, const std::string& keptPath, const std::string& path,
                   int64_t size, bool (*stopRequested)()) {
    InputFile leaving = OpenInputFile(path, ReadPattern::kSequential, InputSharing::kNoWriters);
    int64_t length = 0;
    FileIdentity identity;
    if (!leaving || !DescribeInputFile(*leaving, length, identity) || length != size) return nullptr;
    // Another name of a file that stays (a hard link, a path given twice)
    // must never go, whatever its bytes.
    if (IsKeptFile(allKept, identity)) return nullptr;
    // The comparison reads its own handle of the kept file, from the start;
    // the held one only keeps the file as it was proven.
    InputFile keptReader = OpenInputFile(keptPath);
    if (!keptReader || !CompareFiles(*keptReader, *leaving, size, stopRequested)) return nullptr;
    return leaving;
}

}  // namespace

std::vector<RecycleBatch> PlanRecycleAllButFirst(const std::vector<PresentedGroup>& groups) {
    std::vector<RecycleBatch> batches;
    for (size_t group = 0; group < groups.size(); ++group) {
        int64_t size = 0;
        if (CanTakePart(groups[group], size)) batches.push_back(BatchKeeping(group, groups[group], 0, size));
    }
    return batches;
}

std::vector<RecycleBatch> PlanKeepOne(const std::vector<PresentedGroup>& groups, size_t group, size_t kept) {
    int64_t size = 0;
    if (group >= groups.size() || kept >= groups[group].paths.size() || !CanTakePart(groups[group], size)) return {};
    return {BatchKeeping(group, groups[group], kept, size)};
}

RecycleTotals TotalsOf(const std::vector<RecycleBatch>& batches) {
    RecycleTotals totals;
    for (const RecycleBatch& batch : batches) {
        totals.files += batch.leaving.size();
        totals.bytes += batch.size * static_cast<int64_t>(batch.leaving.size());
    }
    return totals;
}

RecycleProof ProveDuplicates(const std::vector<PresentedGroup>& groups, const std::vector<RecycleBatch>& batches,
                             const std::function<void(size_t, size_t)>& progress, bool (*stopRequested)()) {
    RecycleProof proof;
    const size_t planned = TotalsOf(batches).files;
    // Every kept file is held before any comparison, so that no leaving file
    // can be another name of a file that stays in a later group.
    std::vector<HeldKept> kept(batches.size());
    for (size_t b = 0; b < batches.size(); ++b) {
        const RecycleBatch& batch = batches[b];
        HoldKept(groups[batch.group].paths[batch.kept], batch.size, kept[b]);
    }
    KeptIdentities keptIdentities;
    for (const HeldKept& held : kept) {
        if (held.file) keptIdentities.insert({held.identity.volume, held.identity.index});
    }
    size_t done = 0;
    for (size_t b = 0; b < batches.size(); ++b) {
        const RecycleBatch& batch = batches[b];
        const std::vector<std::string>& paths = groups[batch.group].paths;
        for (size_t member : batch.leaving) {
            if (stopRequested()) {
                proof.stopped = true;
                return proof;
            }
            InputFile held = kept[b].file ? ProveOne(keptIdentities, paths[batch.kept], paths[member], batch.size, stopRequested)
                                          : nullptr;
            if (stopRequested()) {
                proof.stopped = true;
                return proof;
            }
            if (held)
                proof.proven.push_back(ProvenDuplicate{batch.group, member, std::move(held)});
            else
                ++proof.left;
            progress(++done, planned);
        }
    }
    for (HeldKept& held : kept) {
        if (held.file) proof.keptFiles.push_back(std::move(held.file));
    }
    return proof;
}
