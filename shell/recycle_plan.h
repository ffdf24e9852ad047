// Recycling many duplicates at once: which files go and which stay, and the
// proof, made right before they go, that each leaving file is still an exact
// copy of the one that stays. Platform-free; the window asks the user, shows
// the progress and hands the proven files to the shell's recycle bin.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/input_file.h"
#include "results/new_groups.h"

// One group's share of a bulk recycle; members are positions in the group's
// list of paths.
struct RecycleBatch {
    size_t group = 0;             // position among the groups planned
    size_t kept = 0;              // the member that stays
    std::vector<size_t> leaving;  // the members that go, in list order
    int64_t size = 0;             // every member's length, from the label
};

// In every group the first member stays and every other member goes.
// Groups whose label is no group label, or with fewer than two members,
// take no part.
std::vector<RecycleBatch> PlanRecycleAllButFirst(const std::vector<PresentedGroup>& groups);

// In `groups[group]` the member `kept` stays and the others go; no batch
// when the group cannot take part or `kept` is no member.
std::vector<RecycleBatch> PlanKeepOne(const std::vector<PresentedGroup>& groups, size_t group, size_t kept);

struct RecycleTotals {
    size_t files = 0;
    int64_t bytes = 0;
};

RecycleTotals TotalsOf(const std::vector<RecycleBatch>& batches);

struct ProvenDuplicate {
    size_t group = 0;
    size_t member = 0;
    InputFile held;  // open against writers until the recycle is over
};

struct RecycleProof {
    std::vector<InputFile> keptFiles;        // open against writers and deleters
    std::vector<ProvenDuplicate> proven;     // in plan order
    size_t left = 0;  // differed, changed length, unreadable, or their kept file is gone
    bool stopped = false;                    // nothing may be recycled then
};

// Holds every kept file, then compares every leaving file with its kept
// file byte by byte. A leaving file is proven only when it opens, has the
// planned length, is another physical file than every kept one, and holds
// the same bytes as its kept file; everything else stays and counts as
// left. `progress` hears (files done, files planned) after each file;
// `stopRequested` is asked at each file and after each chunk.
RecycleProof ProveDuplicates(const std::vector<PresentedGroup>& groups, const std::vector<RecycleBatch>& batches,
                             const std::function<void(size_t, size_t)>& progress, bool (*stopRequested)());
