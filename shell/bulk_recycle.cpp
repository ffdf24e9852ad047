#include "shell/bulk_recycle.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "engine/analysis_state.h"
#include "resources/texts.h"
#include "results/file_info_window.h"
#include "results/format_thousands.h"
#include "results/results_tree.h"
#include "results/tree_contents.h"
#include "shell/recycle_plan.h"
#include "shell/recycle_progress_dialog.h"
#include "shell/results_menu.h"

namespace {

// printf with texts of any length (paths included).
std::string Formatted(const char* format, const std::string& first, const std::string& second = std::string()) {
    const int length = std::snprintf(nullptr, 0, format, first.c_str(), second.c_str());
    if (length < 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(&text[0], text.size(), format, first.c_str(), second.c_str());
    text.resize(static_cast<size_t>(length));
    return text;
}

bool UserAgrees(HWND mainWindow, const std::string& question) {
    return MessageBoxA(mainWindow, question.c_str(), kTextDeleteFile, MB_YESNO) == IDYES;
}

// Takes the recycled file items off the tree, and a group when only one
// file item of it is left; the other groups keep their labels. When the
// tree was cleared meanwhile (a run started under the dialog), the items
// are found again by their paths.
void RemoveRecycledItems(std::vector<TreeGroup> tree, const std::vector<PresentedGroup>& shown,
                         const BulkRecycleOutcome& outcome, uint32_t generation) {
    std::vector<std::vector<bool>> gone(tree.size());
    for (size_t g = 0; g < tree.size(); ++g) gone[g].assign(tree[g].files.size(), false);
    if (g_resultsTree.generation.load() == generation) {
        for (const auto& [group, member] : outcome.recycled) gone[group][member] = true;
    } else {
        std::set<std::string> paths;
        for (const auto& [group, member] : outcome.recycled) paths.insert(shown[group].paths[member]);
        tree = ReadTreeGroups();
        gone.assign(tree.size(), {});
        for (size_t g = 0; g < tree.size(); ++g) {
            for (const std::string& path : tree[g].shown.paths) gone[g].push_back(paths.count(path) > 0);
        }
    }
    const TreeRedrawPause pause;
    for (size_t g = 0; g < tree.size(); ++g) {
        const size_t staying = static_cast<size_t>(std::count(gone[g].begin(), gone[g].end(), false));
        if (staying == tree[g].files.size()) continue;
        if (staying <= 1) {
            DeleteTreeItem(tree[g].item);
            continue;
        }
        for (size_t f = 0; f < tree[g].files.size(); ++f) {
            if (gone[g][f]) DeleteTreeItem(tree[g].files[f]);
        }
    }
}

void ReportOutcome(HWND mainWindow, const BulkRecycleOutcome& outcome) {
    std::string text = Formatted(kTextRecycledFiles, FormatThousands(static_cast<int64_t>(outcome.recycled.size())));
    if (outcome.left > 0) text += Formatted(kTextLeftChangedFiles, FormatThousands(static_cast<int64_t>(outcome.left)));
    if (outcome.notRecycled > 0)
        text += Formatted(kTextNotRecycledFiles, FormatThousands(static_cast<int64_t>(outcome.notRecycled)));
    MessageBoxA(mainWindow, text.c_str(), kTextProcessingFinished, MB_OK);
}

// Checks and recycles what the plan sends away, batch by batch behind the
// progress dialog, and shows the outcome. Nothing happens when the tree was
// cleared under the question: the groups agreed to are no longer shown. A
// stop before anything went shows nothing.
void RecycleProvenDuplicates(HWND mainWindow, const std::vector<TreeGroup>& tree,
                             const std::vector<PresentedGroup>& shown, const std::vector<PlannedGroup>& plan,
                             uint32_t generation) {
    if (g_resultsTree.generation.load() != generation) return;
    const BulkRecycleOutcome outcome = RecycleWithProgress(mainWindow, shown, plan);
    RemoveRecycledItems(tree, shown, outcome, generation);
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
    const std::string question = Formatted(kTextConfirmKeepThisRecycleOthers,
                                           FormatThousands(static_cast<int64_t>(totals.files)),
                                           shown[group].paths[member]);
    const uint32_t generation = g_resultsTree.generation.load();
    if (UserAgrees(mainWindow, question)) RecycleProvenDuplicates(mainWindow, tree, shown, plan, generation);
    SetFocus(g_resultsTree.tree);
}

void RecycleAllDuplicates(HWND mainWindow) {
    // The menu item is grayed then; a command sent all the same does nothing.
    if (g_analysis.running.load()) return;
    const std::vector<TreeGroup> tree = ReadTreeGroups();
    const std::vector<PresentedGroup> shown = ShownGroups(tree);
    const std::vector<PlannedGroup> plan = PlanRecycleAllButFirst(shown);
    if (plan.empty()) return;
    const RecycleTotals totals = TotalsOf(plan);
    const std::string question = Formatted(kTextConfirmRecycleAllButFirst,
                                           FormatThousands(static_cast<int64_t>(totals.files)),
                                           FormatThousands(totals.bytes));
    const uint32_t generation = g_resultsTree.generation.load();
    if (UserAgrees(mainWindow, question)) RecycleProvenDuplicates(mainWindow, tree, shown, plan, generation);
    SetFocus(g_resultsTree.tree);
}
