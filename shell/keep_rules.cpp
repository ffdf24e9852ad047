#include "shell/keep_rules.h"

namespace {

void Append(std::vector<PlannedGroup>& plan, std::vector<PlannedGroup> group) {
    for (PlannedGroup& one : group) plan.push_back(std::move(one));
}

}  // namespace

std::vector<PlannedGroup> PlanKeepByWriteTime(const std::vector<PresentedGroup>& groups,
                                              const std::vector<std::vector<int64_t>>& writeTimes, KeptByTime rule) {
    std::vector<PlannedGroup> plan;
    for (size_t group = 0; group < groups.size() && group < writeTimes.size(); ++group) {
        const std::vector<int64_t>& times = writeTimes[group];
        size_t kept = times.size();
        for (size_t member = 0; member < times.size() && member < groups[group].paths.size(); ++member) {
            if (times[member] == kNoWriteTime) continue;
            const bool better = kept == times.size() ||
                                (rule == KeptByTime::kNewest ? times[member] > times[kept] : times[member] < times[kept]);
            if (better) kept = member;
        }
        if (kept < times.size()) Append(plan, PlanKeepOne(groups, group, kept));
    }
    return plan;
}

std::vector<PlannedGroup> PlanKeepInFolder(const std::vector<PresentedGroup>& groups, const std::string& folder) {
    std::vector<PlannedGroup> plan;
    if (folder.empty()) return plan;
    for (size_t group = 0; group < groups.size(); ++group) {
        const std::vector<std::string>& paths = groups[group].paths;
        for (size_t member = 0; member < paths.size(); ++member) {
            if (paths[member].compare(0, folder.size(), folder) == 0) {
                Append(plan, PlanKeepOne(groups, group, member));
                break;
            }
        }
    }
    return plan;
}

std::string FolderOfPath(const std::string& path, char separator) {
    const size_t last = path.rfind(separator);
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}
