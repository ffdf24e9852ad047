// A bulk recycle, run on a thread of its own behind a modal progress dialog
// (resource 206) whose stop button ends it: the check of each batch and its
// recycle, from the first batch to the last. The dialog shows only when the
// work takes a moment; the window under it keeps answering.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

#include "shell/recycle_plan.h"

// The (group, member) of each file of a batch that went.
using RecycledFiles = std::vector<std::pair<size_t, size_t>>;

// Returns once the work has ended, stopped or not. `onRecycled` hears each
// batch's files that went, on the calling thread, as the work goes.
BulkRecycleOutcome RecycleWithProgress(HWND owner, const std::vector<PresentedGroup>& groups,
                                       const std::vector<PlannedGroup>& plan,
                                       const std::function<void(const RecycledFiles&)>& onRecycled);
