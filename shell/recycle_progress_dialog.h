// The check before a bulk recycle, run on a thread of its own behind a modal
// progress dialog (resource 206) whose stop button ends it; the dialog shows
// only when the check takes a moment.
#pragma once

#include <windows.h>

#include <vector>

#include "shell/recycle_plan.h"

// Returns once the proof has ended, stopped or not.
RecycleProof ProveWithProgress(HWND owner, const std::vector<PresentedGroup>& groups,
                               const std::vector<RecycleBatch>& batches);
