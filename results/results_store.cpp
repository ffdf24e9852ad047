#include "results/results_store.h"

ResultsStore g_resultsStore;

void ResultsStore::Clear() {
    // Swapped with empty ones, so a large run's memory goes back at once.
    std::vector<Group>().swap(groups_);
    std::vector<Member>().swap(members_);
    std::string().swap(paths_);
    shownGroups_ = 0;
}

GroupId ResultsStore::Add(const PresentedGroup& group) {
    Group added;
    added.number = group.number;
    added.size = group.size;
    added.first = static_cast<MemberId>(members_.size());
    for (const std::string& path : group.paths) {
        members_.push_back(Member{paths_.size(), static_cast<uint32_t>(path.size()),
                                  static_cast<GroupId>(groups_.size()), false});
        paths_ += path;
    }
    added.end = static_cast<MemberId>(members_.size());
    added.live = added.end - added.first;
    groups_.push_back(added);
    if (added.live >= 2) ++shownGroups_;
    return static_cast<GroupId>(groups_.size() - 1);
}

std::string ResultsStore::Label(GroupId group) const {
    return GroupLabel(groups_[group].number, groups_[group].size);
}

std::vector<MemberId> ResultsStore::Members(GroupId group) const {
    std::vector<MemberId> shown;
    if (!IsShown(group)) return shown;
    for (MemberId member = groups_[group].first; member < groups_[group].end; ++member) {
        if (!members_[member].gone) shown.push_back(member);
    }
    return shown;
}

std::string_view ResultsStore::Path(MemberId member) const {
    return std::string_view(paths_).substr(members_[member].start, members_[member].length);
}

bool ResultsStore::FindMember(const std::string& path, MemberId& member) const {
    for (MemberId candidate = 0; candidate < members_.size(); ++candidate) {
        if (IsMember(candidate) && Path(candidate) == path) {
            member = candidate;
            return true;
        }
    }
    return false;
}

void ResultsStore::Move(MemberId member, const std::string& path) {
    members_[member].start = paths_.size();
    members_[member].length = static_cast<uint32_t>(path.size());
    paths_ += path;
}

bool ResultsStore::Remove(MemberId member) {
    if (!IsMember(member)) return false;
    members_[member].gone = true;
    Group& group = groups_[members_[member].group];
    if (--group.live >= 2) return false;
    for (MemberId rest = group.first; rest < group.end; ++rest) members_[rest].gone = true;
    group.live = 0;
    --shownGroups_;
    return true;
}

void ResultsStore::AppendTo(ResultsSnapshot& snapshot, GroupId group) const {
    if (!IsShown(group)) return;
    PresentedGroup shown;
    shown.number = groups_[group].number;
    shown.size = groups_[group].size;
    std::vector<MemberId> ids = Members(group);
    for (MemberId member : ids) shown.paths.emplace_back(Path(member));
    snapshot.groups.push_back(std::move(shown));
    snapshot.ids.push_back(group);
    snapshot.members.push_back(std::move(ids));
}

ResultsSnapshot ResultsStore::Snapshot() const {
    ResultsSnapshot snapshot;
    for (GroupId group = 0; group < groups_.size(); ++group) AppendTo(snapshot, group);
    return snapshot;
}

ResultsSnapshot ResultsStore::Snapshot(GroupId group) const {
    ResultsSnapshot snapshot;
    AppendTo(snapshot, group);
    return snapshot;
}
