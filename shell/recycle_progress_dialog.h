// A bulk recycle, run on a thread of its own behind a modal progress dialog
// (resource 206) whose stop button ends it: the check of each batch and its
// recycle, from the first batch to the last. The dialog shows only when the
// work takes a moment; the window under it keeps answering.
#pragma once

#include <windows.h>

#include <vector>

#include "shell/recycle_plan.h"

// Returns once the work has ended, stopped or not.
BulkRecycleOutcome RecycleWithProgress(HWND owner, const std::vector<PresentedGroup>& groups,
                                       const std::vector<PlannedGroup>& plan);
