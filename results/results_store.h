// The results as the window holds them: every group a run has shown, its
// number, size and members' paths, held once: each path as its folder, kept
// once for all the members in it, and its name. The tree shows it, the CSV,
// the bulk actions and the file actions read it, and recycling or moving a
// file changes it. Members and groups keep their ids for the whole run, so
// a tree item can name one by id. Platform-free; user-interface thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "results/new_groups.h"

using GroupId = uint32_t;
using MemberId = uint32_t;

// A copy of what is shown, for work that outlives the store's state (a bulk
// recycle's worker): `members[g][m]` is the id of `groups[g].paths[m]`.
struct ResultsSnapshot {
    std::vector<PresentedGroup> groups;
    std::vector<GroupId> ids;
    std::vector<std::vector<MemberId>> members;
};

class ResultsStore {
public:
    void Clear();
    // A new group, shown last; its members keep the order given.
    GroupId Add(const PresentedGroup& group);

    size_t GroupIdCount() const { return groups_.size(); }  // every id given out this run
    bool IsShown(GroupId group) const { return group < groups_.size() && groups_[group].live >= 2; }
    bool HasGroups() const { return shownGroups_ > 0; }
    std::string Label(GroupId group) const;  // "No.<number>  (<size> byte)"
    std::vector<MemberId> Members(GroupId group) const;  // the members still shown, in order

    bool IsMember(MemberId member) const { return member < members_.size() && !members_[member].gone; }
    GroupId GroupOf(MemberId member) const { return members_[member].group; }
    std::string Path(MemberId member) const;
    // The member shown under `path`; false when none is.
    bool FindMember(const std::string& path, MemberId& member) const;

    // The file now lives at `path`.
    void Move(MemberId member, const std::string& path);
    // Takes the member off, and its group too when one member or none is
    // left (a lone file is no duplicate); true when the group went.
    bool Remove(MemberId member);

    // Every shown group, in order.
    ResultsSnapshot Snapshot() const;
    // The one group, when it is shown; else nothing.
    ResultsSnapshot Snapshot(GroupId group) const;

private:
    struct Member;
    void AppendTo(ResultsSnapshot& snapshot, GroupId group) const;
    // Points the member at `path`: its folder found or added, its name added.
    void Place(Member& member, std::string_view path);
    std::string_view Folder(const Member& member) const { return *folders_[member.folder]; }
    std::string_view Name(const Member& member) const {
        return std::string_view(names_).substr(member.nameStart, member.nameLength);
    }

    struct Group {
        int64_t size = 0;
        int32_t number = 0;
        MemberId first = 0;
        MemberId end = 0;
        uint32_t live = 0;  // members not taken off
    };
    struct Member {
        uint32_t folder = 0;     // in folders_
        uint32_t nameStart = 0;  // in names_
        GroupId group = 0;
        uint16_t nameLength = 0;
        bool gone = false;
    };
    std::vector<Group> groups_;
    std::vector<Member> members_;
    // Each folder once, as its path up to and with the last separator; the
    // map's keys are the text, folders_ points at them by id.
    std::unordered_map<std::string, uint32_t> folderIds_;
    std::vector<const std::string*> folders_;
    std::string names_;  // every name back to back; a moved file's new name is added at the end
    size_t shownGroups_ = 0;
};

// The window's one store.
extern ResultsStore g_resultsStore;
