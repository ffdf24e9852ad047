#include "shell/recycle_plan.h"

#include <algorithm>
#include <set>

#include "engine/compare_files.h"

namespace {

bool CanTakePart(const PresentedGroup& group) { return group.paths.size() >= 2; }

PlannedGroup PlanKeeping(size_t groupIndex, const PresentedGroup& group, size_t kept) {
    PlannedGroup planned;
    planned.group = groupIndex;
    planned.kept = kept;
    planned.size = group.size;
    for (size_t member = 0; member < group.paths.size(); ++member) {
        if (member != kept) planned.leaving.push_back(member);
    }
    return planned;
}

// Every file that stays, by identity: each leaving file is looked up here,
// so a bulk recycle of many groups costs no scan of all of them per file.
using KeptIdentities = std::set<FileIdentity>;

// A kept file as it was before the first batch.
struct KeptBeforehand {
    bool known = false;
    FileIdentity identity;
};

// One group's part of a batch: its leaving files from `first` to `end`.
struct BatchPart {
    size_t planned = 0;
    size_t first = 0;
    size_t end = 0;
};

// The kept file, held against change, when it still opens with its length
// and is still the file it was before the first batch.
InputFile HoldKept(const std::string& path, int64_t size, const KeptBeforehand& beforehand) {
    InputFile file = OpenInputFile(path, ReadPattern::kSequential, InputSharing::kNoWritersNoDeleters);
    int64_t length = 0;
    FileIdentity identity;
    if (!file || !beforehand.known || !DescribeInputFile(*file, length, identity) || length != size ||
        identity != beforehand.identity) {
        return nullptr;
    }
    return file;
}

// The leaving file, held against writers, when it is an exact copy of the
// held kept one, read through the handle that holds it; null otherwise.
InputFile ProveOne(const KeptIdentities& allKept, OpenedFile& kept, const std::string& path, int64_t size,
                   bool (*stopRequested)(), FileIdentity& identity) {
    InputFile leaving = OpenInputFile(path, ReadPattern::kSequential, InputSharing::kNoWriters);
    int64_t length = 0;
    if (!leaving || !DescribeInputFile(*leaving, length, identity) || length != size) return nullptr;
    // Another name of a file that stays (a hard link, a path given twice)
    // must never go, whatever its bytes.
    if (allKept.count(identity) > 0) return nullptr;
    if (CompareOpenFiles(kept, *leaving, size, stopRequested) != Comparison::kEqual) return nullptr;
    return leaving;
}

class BatchRecycler {
public:
    BatchRecycler(const std::vector<PresentedGroup>& groups, const std::vector<PlannedGroup>& plan,
                  const RecycleProvenFiles& recycle, const std::function<void(size_t, size_t)>& progress,
                  bool (*stopRequested)())
        : groups_(groups), plan_(plan), recycle_(recycle), progress_(progress), stopRequested_(stopRequested) {
        total_ = 2 * TotalsOf(plan).files;
    }

    // Reads every kept file's identity, so that no leaving file of any
    // batch can be another name of a file that stays. False when stopped.
    bool LearnKeptFiles() {
        beforehand_.resize(plan_.size());
        for (size_t p = 0; p < plan_.size(); ++p) {
            if (stopRequested_()) return false;
            const PlannedGroup& planned = plan_[p];
            beforehand_[p].known = QueryFileIdentity(groups_[planned.group].paths[planned.kept], beforehand_[p].identity);
            if (beforehand_[p].known) allKept_.insert(beforehand_[p].identity);
        }
        return true;
    }

    // Holds, proves, recycles and lets go one batch. False when stopped
    // before its recycle.
    bool Run(const std::vector<BatchPart>& batch) {
        std::vector<InputFile> kept(batch.size());
        for (size_t i = 0; i < batch.size(); ++i) {
            const PlannedGroup& planned = plan_[batch[i].planned];
            kept[i] = HoldKept(groups_[planned.group].paths[planned.kept], planned.size, beforehand_[batch[i].planned]);
        }
        std::vector<ProvenDuplicate> proven;
        size_t files = 0;
        for (size_t i = 0; i < batch.size(); ++i) {
            const PlannedGroup& planned = plan_[batch[i].planned];
            const std::vector<std::string>& paths = groups_[planned.group].paths;
            for (size_t position = batch[i].first; position < batch[i].end; ++position) {
                if (stopRequested_()) return false;
                ProvenDuplicate candidate;
                candidate.group = planned.group;
                candidate.member = planned.leaving[position];
                candidate.path = &paths[candidate.member];
                if (kept[i]) {
                    candidate.held = ProveOne(allKept_, *kept[i], *candidate.path, planned.size, stopRequested_,
                                              candidate.identity);
                }
                if (stopRequested_()) return false;
                if (candidate.held)
                    proven.push_back(std::move(candidate));
                else
                    ++outcome_.left;
                ++files;
                progress_(++done_, total_);
            }
        }
        if (!proven.empty()) {
            const std::vector<bool> went = recycle_(proven);
            for (size_t i = 0; i < proven.size(); ++i) {
                if (i < went.size() && went[i])
                    outcome_.recycled.emplace_back(proven[i].group, proven[i].member);
                else
                    ++outcome_.notRecycled;
            }
        }
        done_ += files;
        progress_(done_, total_);
        return true;
    }

    BulkRecycleOutcome& outcome() { return outcome_; }

private:
    const std::vector<PresentedGroup>& groups_;
    const std::vector<PlannedGroup>& plan_;
    const RecycleProvenFiles& recycle_;
    const std::function<void(size_t, size_t)>& progress_;
    bool (*stopRequested_)();
    std::vector<KeptBeforehand> beforehand_;
    KeptIdentities allKept_;
    BulkRecycleOutcome outcome_;
    size_t done_ = 0;
    size_t total_ = 0;
};

}  // namespace

std::vector<PlannedGroup> PlanRecycleAllButFirst(const std::vector<PresentedGroup>& groups) {
    std::vector<PlannedGroup> plan;
    for (size_t group = 0; group < groups.size(); ++group) {
        if (CanTakePart(groups[group])) plan.push_back(PlanKeeping(group, groups[group], 0));
    }
    return plan;
}

std::vector<PlannedGroup> PlanKeepOne(const std::vector<PresentedGroup>& groups, size_t group, size_t kept) {
    if (group >= groups.size() || kept >= groups[group].paths.size() || !CanTakePart(groups[group])) return {};
    return {PlanKeeping(group, groups[group], kept)};
}

RecycleTotals TotalsOf(const std::vector<PlannedGroup>& plan) {
    RecycleTotals totals;
    for (const PlannedGroup& planned : plan) {
        totals.files += planned.leaving.size();
        totals.bytes += planned.size * static_cast<int64_t>(planned.leaving.size());
    }
    return totals;
}

BulkRecycleOutcome RecycleInBatches(const std::vector<PresentedGroup>& groups, const std::vector<PlannedGroup>& plan,
                                    size_t batchFiles, const RecycleProvenFiles& recycle,
                                    const std::function<void(size_t, size_t)>& progress, bool (*stopRequested)()) {
    batchFiles = std::max<size_t>(batchFiles, 1);
    BatchRecycler recycler(groups, plan, recycle, progress, stopRequested);
    bool going = recycler.LearnKeptFiles();
    // A group with more leaving files than a batch takes spreads over
    // several, its kept file held in each.
    for (size_t planned = 0, position = 0; going && planned < plan.size();) {
        std::vector<BatchPart> batch;
        for (size_t files = 0; planned < plan.size() && files < batchFiles;) {
            const size_t take = std::min(plan[planned].leaving.size() - position, batchFiles - files);
            batch.push_back(BatchPart{planned, position, position + take});
            files += take;
            position += take;
            if (position == plan[planned].leaving.size()) {
                ++planned;
                position = 0;
            }
        }
        going = recycler.Run(batch);
    }
    recycler.outcome().stopped = !going;
    return std::move(recycler.outcome());
}
