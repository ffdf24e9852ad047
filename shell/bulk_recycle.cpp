#include "shell/bulk_recycle.h"

#include <string>
#include <vector>

#include "engine/analysis_state.h"
#include "platform/message_box.h"
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

// A count or a byte total as the boxes show it.
std::wstring Thousands(int64_t value) { return WideFromUtf8(FormatThousands(value)); }

bool UserAgrees(HWND mainWindow, const std::wstring& question) {
    return ShowMessageBox(mainWindow, question, kTextDeleteFile, MB_YESNO) == IDYES;
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
    std::wstring text = WideFromCp932Format(kTextRecycledFiles, {Thousands(static_cast<int64_t>(recycled))});
    if (left > 0) text += WideFromCp932Format(kTextLeftChangedFiles, {Thousands(static_cast<int64_t>(left))});
    ShowMessageBox(mainWindow, text, kTextProcessingFinished, MB_OK);
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
    const std::wstring question =
        WideFromCp932Format(kTextConfirmKeepThisRecycleOthers,
                            {Thousands(static_cast<int64_t>(totals.files)), WideFromUtf8(shown[group].paths[member])});
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
    const std::wstring question = WideFromCp932Format(
        kTextConfirmRecycleAllButFirst, {Thousands(static_cast<int64_t>(totals.files)), Thousands(totals.bytes)});
    if (UserAgrees(mainWindow, question)) RecycleProvenDuplicates(mainWindow, tree, shown, batches);
    SetFocus(g_resultsTree.tree);
}
