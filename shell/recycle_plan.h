// Recycling many duplicates at once: which files go and which stay, and the
// proof, made right before they go, that each leaving file is still an exact
// copy of the one that stays. The work goes in batches of a bounded number
// of files, each held, proven, recycled and let go before the next, so that
// a tree of any size holds only so many files open at once. Platform-free;
// the window asks the user, shows the progress and lends the shell's
// recycle bin.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/file_identity.h"
#include "engine/input_file.h"
#include "results/new_groups.h"

// One group's share of a bulk recycle; members are positions in the group's
// list of paths.
struct PlannedGroup {
    size_t group = 0;             // position among the groups planned
    size_t kept = 0;              // the member that stays
    std::vector<size_t> leaving;  // the members that go, in list order
    int64_t size = 0;             // every member's length
};

// In every group the first member stays and every other member goes.
// Groups with fewer than two members take no part.
std::vector<PlannedGroup> PlanRecycleAllButFirst(const std::vector<PresentedGroup>& groups);

// In `groups[group]` the member `kept` stays and the others go; nothing
// when the group cannot take part or `kept` is no member.
std::vector<PlannedGroup> PlanKeepOne(const std::vector<PresentedGroup>& groups, size_t group, size_t kept);

struct RecycleTotals {
    size_t files = 0;
    int64_t bytes = 0;
};

RecycleTotals TotalsOf(const std::vector<PlannedGroup>& plan);

// A leaving file proven an exact copy, held against writers until its
// batch is recycled; the shell must remove this very file (`identity`).
struct ProvenDuplicate {
    size_t group = 0;
    size_t member = 0;
    const std::string* path = nullptr;  // in the groups given
    FileIdentity identity;
    InputFile held;
};

// Hands one batch's proven files to the recycle bin while they and their
// kept files are held; for each, whether it really went.
using RecycleProvenFiles = std::function<std::vector<bool>(const std::vector<ProvenDuplicate>& proven)>;

struct BulkRecycleOutcome {
    std::vector<std::pair<size_t, size_t>> recycled;  // (group, member) of each file that went
    size_t left = 0;         // differed, changed length, unreadable, or their kept file is gone
    size_t notRecycled = 0;  // proven, but the shell did not recycle them
    bool stopped = false;
};

// Leaving files held and proven at once at most; with their kept files
// about twice as many handles.
constexpr size_t kRecycleBatchFiles = 500;

// Recycles what the plan sends away, batch by batch of at most
// `batchFiles` leaving files: holds the batch's kept files, proves each
// leaving file against the held kept file byte by byte, hands the proven
// ones to `recycle`, and lets them go. A leaving file is proven only when it
// opens, reads without a fault, has the planned length, is another physical
// file than every kept one (read before the first batch) and holds the
// same bytes as its kept file; everything else stays and counts as left.
// `progress` hears (units done, units in all) as the work goes: each leaving
// file counts once when checked and once when its batch's recycle is over.
// `stopRequested` is asked at each file and after each chunk: batches
// already recycled stay so, the batch in hand is not recycled.
BulkRecycleOutcome RecycleInBatches(const std::vector<PresentedGroup>& groups, const std::vector<PlannedGroup>& plan,
                                    size_t batchFiles, const RecycleProvenFiles& recycle,
                                    const std::function<void(size_t, size_t)>& progress, bool (*stopRequested)());
