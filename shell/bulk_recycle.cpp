#include "shell/bulk_recycle.h"

#include <set>
#include <string>
#include <vector>

#include "engine/analysis_state.h"
#include "platform/message_box.h"
#include "resources/texts.h"
#include "results/file_info_window.h"
#include "results/file_status.h"
#include "results/format_thousands.h"
#include "results/results_store.h"
#include "results/results_tree.h"
#include "shell/keep_rules.h"
#include "shell/recycle_plan.h"
#include "shell/recycle_progress_dialog.h"
#include "shell/results_menu.h"

namespace {

// A count or a byte total as the boxes show it.
std::wstring Thousands(int64_t value) { return WideFromUtf8(FormatThousands(value)); }

bool UserAgrees(HWND mainWindow, const std::wstring& question) {
    return ShowMessageBox(mainWindow, question, kTextDeleteFile, MB_YESNO) == IDYES;
}

// Takes the recycled files off the store and the tree as each batch goes,
// and a group when one file of it is left; the other groups keep their
// labels. While the results were not cleared (a run started under the
// dialog), the snapshot's member ids are the store's; after a clear the
// recycled paths are looked up in the results as they stand.
class RecycledFileRemover {
public:
    RecycledFileRemover(const ResultsSnapshot& shown, uint32_t generation) : shown_(shown), generation_(generation) {}

    void Remove(const std::vector<std::pair<size_t, size_t>>& recycled) const {
        if (g_resultsTree.generation.load() != generation_) return;
        const TreeRedrawPause pause;
        for (const auto& [group, member] : recycled) TakeMemberOff(shown_.members[group][member], false);
    }

    void Finish(const BulkRecycleOutcome& outcome) const {
        if (g_resultsTree.generation.load() == generation_) return;
        std::set<std::string> paths;
        for (const auto& [group, member] : outcome.recycled) paths.insert(shown_.groups[group].paths[member]);
        const ResultsSnapshot now = g_resultsStore.Snapshot();
        const TreeRedrawPause pause;
        for (size_t g = 0; g < now.groups.size(); ++g) {
            for (size_t m = 0; m < now.groups[g].paths.size(); ++m) {
                if (paths.count(now.groups[g].paths[m]) > 0) TakeMemberOff(now.members[g][m], false);
            }
        }
    }

private:
    const ResultsSnapshot& shown_;
    uint32_t generation_;
};

void ReportOutcome(HWND mainWindow, const BulkRecycleOutcome& outcome) {
    std::wstring text =
        WideFromCp932Format(kTextRecycledFiles, {Thousands(static_cast<int64_t>(outcome.recycled.size()))});
    if (outcome.left > 0)
        text += WideFromCp932Format(kTextLeftChangedFiles, {Thousands(static_cast<int64_t>(outcome.left))});
    if (outcome.notRecycled > 0)
        text += WideFromCp932Format(kTextNotRecycledFiles, {Thousands(static_cast<int64_t>(outcome.notRecycled))});
    ShowMessageBox(mainWindow, text, kTextProcessingFinished, MB_OK);
}

// Checks and recycles what the plan sends away, batch by batch behind the
// progress dialog, and shows the outcome. Nothing happens when the tree was
// cleared under the question: the groups agreed to are no longer shown. A
// stop before anything went shows nothing.
void RecycleProvenDuplicates(HWND mainWindow, const ResultsSnapshot& shown, const std::vector<PlannedGroup>& plan,
                             uint32_t generation) {
    if (g_resultsTree.generation.load() != generation) return;
    const RecycledFileRemover remover(shown, generation);
    const BulkRecycleOutcome outcome = RecycleWithProgress(
        mainWindow, shown.groups, plan,
        [&remover](const std::vector<std::pair<size_t, size_t>>& went) { remover.Remove(went); });
    remover.Finish(outcome);
    RefreshFileInfoWindow();
    UpdateResultsMenu(mainWindow);
    if (!outcome.stopped || !outcome.recycled.empty()) ReportOutcome(mainWindow, outcome);
}

// The member's position in its group's snapshot.
bool FindInGroupSnapshot(const ResultsSnapshot& shown, MemberId id, size_t& member) {
    if (shown.members.empty()) return false;
    for (member = 0; member < shown.members[0].size(); ++member) {
        if (shown.members[0][member] == id) return true;
    }
    return false;
}

}  // namespace

void KeepSelectedRecycleOthers(HWND mainWindow) {
    MemberId selected = 0;
    if (!SelectedMember(selected)) return;
    // Only the selected file's group: copying every group's paths would cost
    // a large run tens of megabytes for one group's question.
    const ResultsSnapshot shown = g_resultsStore.Snapshot(g_resultsStore.GroupOf(selected));
    const size_t group = 0;
    size_t member = 0;
    if (!FindInGroupSnapshot(shown, selected, member)) return;
    const std::vector<PlannedGroup> plan = PlanKeepOne(shown.groups, group, member);
    if (plan.empty()) return;
    const RecycleTotals totals = TotalsOf(plan);
    const std::wstring question =
        WideFromCp932Format(kTextConfirmKeepThisRecycleOthers,
                            {Thousands(static_cast<int64_t>(totals.files)), WideFromUtf8(shown.groups[group].paths[member])});
    const uint32_t generation = g_resultsTree.generation.load();
    if (UserAgrees(mainWindow, question)) RecycleProvenDuplicates(mainWindow, shown, plan, generation);
    SetFocus(g_resultsTree.tree);
}

namespace {

// A rule over all groups (every group's first, its newest, its oldest):
// asked with `question` (count and total bytes), then checked and recycled
// as every bulk recycle is. Only between runs.
template <typename Planner>
void RecycleAllByRule(HWND mainWindow, const char* question, Planner plan) {
    // The menu items are grayed then; a command sent all the same does nothing.
    if (g_analysis.running.load()) return;
    const ResultsSnapshot shown = g_resultsStore.Snapshot();
    const std::vector<PlannedGroup> planned = plan(shown.groups);
    if (planned.empty()) return;
    const RecycleTotals totals = TotalsOf(planned);
    const std::wstring text =
        WideFromCp932Format(question, {Thousands(static_cast<int64_t>(totals.files)), Thousands(totals.bytes)});
    const uint32_t generation = g_resultsTree.generation.load();
    if (UserAgrees(mainWindow, text)) RecycleProvenDuplicates(mainWindow, shown, planned, generation);
    SetFocus(g_resultsTree.tree);
}

// Every member's last-write time, as the file system reports it now.
std::vector<std::vector<int64_t>> WriteTimesOf(const std::vector<PresentedGroup>& groups) {
    std::vector<std::vector<int64_t>> times(groups.size());
    for (size_t g = 0; g < groups.size(); ++g) {
        for (const std::string& path : groups[g].paths) {
            int64_t time = 0;
            times[g].push_back(ReadLastWriteTime(path, time) ? time : kNoWriteTime);
        }
    }
    return times;
}

}  // namespace

void RecycleAllDuplicates(HWND mainWindow) {
    RecycleAllByRule(mainWindow, kTextConfirmRecycleAllButFirst, PlanRecycleAllButFirst);
}

void KeepNewestRecycleOthers(HWND mainWindow) {
    RecycleAllByRule(mainWindow, kTextConfirmKeepNewest, [](const std::vector<PresentedGroup>& shown) {
        return PlanKeepByWriteTime(shown, WriteTimesOf(shown), KeptByTime::kNewest);
    });
}

void KeepOldestRecycleOthers(HWND mainWindow) {
    RecycleAllByRule(mainWindow, kTextConfirmKeepOldest, [](const std::vector<PresentedGroup>& shown) {
        return PlanKeepByWriteTime(shown, WriteTimesOf(shown), KeptByTime::kOldest);
    });
}

void KeepInFolderRecycleOthers(HWND mainWindow) {
    const std::string selected = SelectedFilePath();
    if (selected.empty()) return;
    const std::string folder = FolderOfPath(selected, '\\');
    const ResultsSnapshot shown = g_resultsStore.Snapshot();
    const std::vector<PlannedGroup> plan = PlanKeepInFolder(shown.groups, folder);
    if (plan.empty()) return;
    const RecycleTotals totals = TotalsOf(plan);
    // Named as the title names a folder: without its last separator, which
    // a drive's root ("C:\") keeps.
    const std::string shownFolder = folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder;
    const std::wstring question =
        WideFromCp932Format(kTextConfirmKeepInFolder, {Thousands(static_cast<int64_t>(totals.files)),
                                                       Thousands(totals.bytes), WideFromUtf8(shownFolder)});
    const uint32_t generation = g_resultsTree.generation.load();
    if (UserAgrees(mainWindow, question)) RecycleProvenDuplicates(mainWindow, shown, plan, generation);
    SetFocus(g_resultsTree.tree);
}
