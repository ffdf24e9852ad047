// The keep rules of a bulk recycle: which member of each group stays, the
// others going as every bulk recycle sends them (checked, in batches).
// Platform-free.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "shell/recycle_plan.h"

// A member whose last-write time could not be read.
constexpr int64_t kNoWriteTime = std::numeric_limits<int64_t>::min();

enum class KeptByTime { kNewest, kOldest };

// In every group the member last written latest (or earliest) stays, the
// group's first of those that tie. A member whose time could not be read
// never stays; a group with no time read takes no part. `writeTimes` holds
// one time per path of each group.
std::vector<PlannedGroup> PlanKeepByWriteTime(const std::vector<PresentedGroup>& groups,
                                              const std::vector<std::vector<int64_t>>& writeTimes, KeptByTime rule);

// In every group with a member inside `folder` (a folder path ending in its
// separator) or below it, the first such member stays and the others go;
// groups without one take no part.
std::vector<PlannedGroup> PlanKeepInFolder(const std::vector<PresentedGroup>& groups, const std::string& folder);

// The folder a file's path lies in, its separator included; empty for a
// path without one.
std::string FolderOfPath(const std::string& path, char separator);
