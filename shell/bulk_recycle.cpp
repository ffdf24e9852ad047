#include "shell/bulk_recycle.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/analysis_state.h"
#include "platform/message_box.h"
#include "resources/texts.h"
#include "results/file_info_window.h"
#include "results/file_status.h"
#include "results/format_thousands.h"
#include "results/results_tree.h"
#include "results/tree_contents.h"
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

// Takes the recycled file items off the tree as each batch goes, and a
// group when one file item of it is left; the other groups keep their
// labels. While the tree was not cleared (a run started under the dialog),
// the items read before the question are the tree's.
class RecycledItemRemover {
public:
    RecycledItemRemover(const std::vector<TreeGroup>& tree, uint32_t generation)
        : tree_(tree), generation_(generation), gone_(tree.size()), groupGone_(tree.size(), false) {
        for (size_t g = 0; g < tree.size(); ++g) gone_[g].assign(tree[g].files.size(), false);
    }

    void Remove(const std::vector<std::pair<size_t, size_t>>& recycled) {
        if (g_resultsTree.generation.load() != generation_) return;
        const TreeRedrawPause pause;
        for (const auto& [group, member] : recycled) {
            if (groupGone_[group]) continue;
            gone_[group][member] = true;
            if (std::count(gone_[group].begin(), gone_[group].end(), false) <= 1) {
                DeleteTreeItem(tree_[group].item);
                groupGone_[group] = true;
            } else {
                DeleteTreeItem(tree_[group].files[member]);
            }
        }
    }

    // Once the work is over: a tree cleared meanwhile is read again and the
    // items of the recycled paths found by their texts.
    void Finish(const std::vector<PresentedGroup>& shown, const BulkRecycleOutcome& outcome) const {
        if (g_resultsTree.generation.load() == generation_) return;
        std::set<std::string> paths;
        for (const auto& [group, member] : outcome.recycled) paths.insert(shown[group].paths[member]);
        const std::vector<TreeGroup> now = ReadTreeGroups();
        std::vector<std::pair<size_t, size_t>> found;
        for (size_t g = 0; g < now.size(); ++g) {
            for (size_t f = 0; f < now[g].shown.paths.size(); ++f) {
                if (paths.count(now[g].shown.paths[f]) > 0) found.emplace_back(g, f);
            }
        }
        RecycledItemRemover(now, g_resultsTree.generation.load()).Remove(found);
    }

private:
    const std::vector<TreeGroup>& tree_;
    uint32_t generation_;
    std::vector<std::vector<bool>> gone_;
    std::vector<bool> groupGone_;
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
void RecycleProvenDuplicates(HWND mainWindow, const std::vector<TreeGroup>& tree,
                             const std::vector<PresentedGroup>& shown, const std::vector<PlannedGroup>& plan,
                             uint32_t generation) {
    if (g_resultsTree.generation.load() != generation) return;
    RecycledItemRemover remover(tree, generation);
    const BulkRecycleOutcome outcome = RecycleWithProgress(
        mainWindow, shown, plan, [&remover](const std::vector<std::pair<size_t, size_t>>& went) { remover.Remove(went); });
    remover.Finish(shown, outcome);
    RefreshFileInfoWindow();
    UpdateResultsMenu(mainWindow);
    if (!outcome.stopped || !outcome.recycled.empty()) ReportOutcome(mainWindow, outcome);
}

// Finds the group and member position of a file item.
bool FindFileItem(const std::vector<TreeGroup>& tree, HTREEITEM item, size_t& group, size_t& member) {
    for (group = 0; group < tree.size(); ++group) {
        for (member = 0; member < tree[group].files.size(); ++member) {
            if (tree[group].files[member] == item) return true;
        }
    }
    return false;
}

}  // namespace

void KeepSelectedRecycleOthers(HWND mainWindow) {
    HTREEITEM item = SelectedFileItem();
    if (!item) return;
    const std::vector<TreeGroup> tree = ReadTreeGroups();
    size_t group = 0;
    size_t member = 0;
    if (!FindFileItem(tree, item, group, member)) return;
    const std::vector<PresentedGroup> shown = ShownGroups(tree);
    const std::vector<PlannedGroup> plan = PlanKeepOne(shown, group, member);
    if (plan.empty()) return;
    const RecycleTotals totals = TotalsOf(plan);
    const std::wstring question =
        WideFromCp932Format(kTextConfirmKeepThisRecycleOthers,
                            {Thousands(static_cast<int64_t>(totals.files)), WideFromUtf8(shown[group].paths[member])});
    const uint32_t generation = g_resultsTree.generation.load();
    if (UserAgrees(mainWindow, question)) RecycleProvenDuplicates(mainWindow, tree, shown, plan, generation);
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
    const std::vector<TreeGroup> tree = ReadTreeGroups();
    const std::vector<PresentedGroup> shown = ShownGroups(tree);
    const std::vector<PlannedGroup> planned = plan(shown);
    if (planned.empty()) return;
    const RecycleTotals totals = TotalsOf(planned);
    const std::wstring text =
        WideFromCp932Format(question, {Thousands(static_cast<int64_t>(totals.files)), Thousands(totals.bytes)});
    const uint32_t generation = g_resultsTree.generation.load();
    if (UserAgrees(mainWindow, text)) RecycleProvenDuplicates(mainWindow, tree, shown, planned, generation);
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
    HTREEITEM item = SelectedFileItem();
    if (!item) return;
    const std::string folder = FolderOfPath(GetTreeItemText(item), '\\');
    const std::vector<TreeGroup> tree = ReadTreeGroups();
    const std::vector<PresentedGroup> shown = ShownGroups(tree);
    const std::vector<PlannedGroup> plan = PlanKeepInFolder(shown, folder);
    if (plan.empty()) return;
    const RecycleTotals totals = TotalsOf(plan);
    // Named as the title names a folder: without its last separator, which
    // a drive's root ("C:\") keeps.
    const std::string shownFolder = folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder;
    const std::wstring question =
        WideFromCp932Format(kTextConfirmKeepInFolder, {Thousands(static_cast<int64_t>(totals.files)),
                                                       Thousands(totals.bytes), WideFromUtf8(shownFolder)});
    const uint32_t generation = g_resultsTree.generation.load();
    if (UserAgrees(mainWindow, question)) RecycleProvenDuplicates(mainWindow, tree, shown, plan, generation);
    SetFocus(g_resultsTree.tree);
}
