#include "shell/bulk_recycle.h"

#include <cstdio>
#include <string>
#include <vector>

#include "engine/analysis_state.h"
#include "resources/texts.h"
#include "results/file_info_window.h"
#include "results/format_thousands.h"
#include "results/results_tree.h"
#include "results/tree_contents.h"
#include "shell/recycle_bin.h"
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

// Takes the recycled file items off the tree, and a group when only its
// kept file is left; the other groups keep their labels. The kept item never
// goes, so no group goes while one of its recycled items is still to come.
void RemoveRecycledItems(const std::vector<TreeGroup>& tree, const std::vector<ProvenDuplicate>& proven,
                         const std::vector<bool>& gone) {
    for (size_t i = 0; i < proven.size(); ++i) {
        if (gone[i]) DeleteFileItemAndLoneGroup(tree[proven[i].group].files[proven[i].member]);
    }
}

void ReportOutcome(HWND mainWindow, size_t recycled, size_t left) {
    std::string text = Formatted(kTextRecycledFiles, FormatThousands(static_cast<int64_t>(recycled)));
    if (left > 0) text += Formatted(kTextLeftChangedFiles, FormatThousands(static_cast<int64_t>(left)));
    MessageBoxA(mainWindow, text.c_str(), kTextProcessingFinished, MB_OK);
}

// Proves what the plan sends away, hands the proven files to the shell in
// one operation while they and the kept files are held, and shows the
// outcome. A stopped check recycles nothing.
void RecycleProvenDuplicates(HWND mainWindow, const std::vector<TreeGroup>& tree,
                             const std::vector<PresentedGroup>& shown, const std::vector<RecycleBatch>& batches) {
    RecycleProof proof = ProveWithProgress(mainWindow, shown, batches);
    if (proof.stopped) return;
    std::vector<std::string> paths;
    paths.reserve(proof.proven.size());
    for (const ProvenDuplicate& file : proof.proven) paths.push_back(shown[file.group].paths[file.member]);
    const std::vector<bool> gone = SendFilesToRecycleBin(mainWindow, paths);
    RemoveRecycledItems(tree, proof.proven, gone);
    const size_t left = proof.left;
    proof = RecycleProof();  // the held files are let go
    size_t recycled = 0;
    for (bool went : gone) recycled += went ? 1 : 0;
    RefreshFileInfoWindow();
    UpdateResultsMenu(mainWindow);
    ReportOutcome(mainWindow, recycled, left);
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
    const std::vector<RecycleBatch> batches = PlanKeepOne(shown, group, member);
    if (batches.empty()) return;
    const RecycleTotals totals = TotalsOf(batches);
    const std::string question = Formatted(kTextConfirmKeepThisRecycleOthers,
                                           FormatThousands(static_cast<int64_t>(totals.files)),
                                           shown[group].paths[member]);
    if (UserAgrees(mainWindow, question)) RecycleProvenDuplicates(mainWindow, tree, shown, batches);
    SetFocus(g_resultsTree.tree);
}

void RecycleAllDuplicates(HWND mainWindow) {
    // The menu item is grayed then; a command sent all the same does nothing.
    if (g_analysis.running.load()) return;
    const std::vector<TreeGroup> tree = ReadTreeGroups();
    const std::vector<PresentedGroup> shown = ShownGroups(tree);
    const std::vector<RecycleBatch> batches = PlanRecycleAllButFirst(shown);
    if (batches.empty()) return;
    const RecycleTotals totals = TotalsOf(batches);
    const std::string question = Formatted(kTextConfirmRecycleAllButFirst,
                                           FormatThousands(static_cast<int64_t>(totals.files)),
                                           FormatThousands(totals.bytes));
    if (UserAgrees(mainWindow, question)) RecycleProvenDuplicates(mainWindow, tree, shown, batches);
    SetFocus(g_resultsTree.tree);
}
