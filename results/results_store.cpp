#include "results/results_store.h"

#include <limits>

#include "platform/reserve_ahead.h"

ResultsStore g_resultsStore;

void ResultsStore::Clear() {
    // Swapped with empty ones, so a large run's memory goes back at once.
    std::vector<Group>().swap(groups_);
    std::vector<Member>().swap(members_);
    std::unordered_map<std::string, uint32_t>().swap(folderIds_);
    std::vector<const std::string*>().swap(folders_);
    std::string().swap(names_);
    shownGroups_ = 0;
}

GroupId ResultsStore::Add(const PresentedGroup& group) {
    Group added;
    added.number = group.number;
    added.size = group.size;
    added.first = static_cast<MemberId>(members_.size());
    for (const std::string& path : group.paths) {
        Member member;
        member.group = static_cast<GroupId>(groups_.size());
        Place(member, path);
        members_.push_back(member);
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

void ResultsStore::Place(Member& member, std::string_view path) {
    // Only the last separator marks the folder; a name longer than a name
    // can be (no file system allows one) leaves its head to the folder, so
    // that every text comes back whole.
    constexpr size_t kLongestName = std::numeric_limits<uint16_t>::max();
    const size_t separator = path.find_last_of("\\/");
    size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
    if (path.size() - nameStart > kLongestName) nameStart = path.size() - kLongestName;
    // Whatever runs out of memory here leaves the member as it was.
    const uint32_t start = static_cast<uint32_t>(names_.size());
    names_.append(path.substr(nameStart));
    ReserveOneMore(folders_);
    const auto found = folderIds_.try_emplace(std::string(path.substr(0, nameStart)),
                                              static_cast<uint32_t>(folders_.size()));
    if (found.second) folders_.push_back(&found.first->first);
    member.folder = found.first->second;
    member.nameStart = start;
    member.nameLength = static_cast<uint16_t>(path.size() - nameStart);
}

std::string ResultsStore::Path(MemberId member) const {
    std::string path(Folder(members_[member]));
    path += Name(members_[member]);
    return path;
}

bool ResultsStore::FindMember(const std::string& path, MemberId& member) const {
    const std::string_view wanted(path);
    for (MemberId candidate = 0; candidate < members_.size(); ++candidate) {
        if (!IsMember(candidate)) continue;
        const std::string_view folder = Folder(members_[candidate]);
        const std::string_view name = Name(members_[candidate]);
        if (wanted.size() == folder.size() + name.size() && wanted.substr(0, folder.size()) == folder &&
            wanted.substr(folder.size()) == name) {
            member = candidate;
            return true;
        }
    }
    return false;
}

void ResultsStore::Move(MemberId member, const std::string& path) { Place(members_[member], path); }

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
