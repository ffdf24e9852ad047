#include "results/selection_preview.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "platform/path_text.h"
#include "platform/wide_text.h"
#include "plugins/picture_decoder.h"
#include "resources/resource.h"
#include "results/details_text.h"
#include "results/file_info_window.h"
#include "results/file_status.h"
#include "results/picture_file_loader.h"
#include "results/preview_kind.h"
#include "results/preview_state.h"
#include "results/results_tree.h"
#include "results/text_preview.h"
#include "shell/file_actions.h"
#include "shell/file_opening.h"

namespace {

constexpr int kTextPreviewLineLimit = 300;

// Exactly one way per extension: a bitmap that fails to load is not offered
// to the plug-ins, and a text file never is.
void LoadPreview(HWND mainWindow, const std::string& path) {
    switch (ChoosePreviewKind(PathExtension(path))) {
    case PreviewKind::kBitmap:
        g_preview.bitmap = LoadBitmapFile(path);
        break;
    case PreviewKind::kIcon:
        g_preview.icon = LoadIconFile(path);
        break;
    case PreviewKind::kCursor:
        g_preview.cursor = LoadCursorFile(path);
        break;
    case PreviewKind::kText:
        g_preview.textPreview = WideFromCp932(ReadTextPreview(path, kTextPreviewLineLimit));
        break;
    case PreviewKind::kPlugin:
        DecodePictureFile(mainWindow, path, g_preview.bitmap);
        break;
    }
}

std::optional<PictureSize> PreviewBitmapSize() {
    BITMAP bitmap;
    if (!g_preview.bitmap || GetObjectW(g_preview.bitmap.get(), sizeof bitmap, &bitmap) != sizeof bitmap) {
        return std::nullopt;
    }
    return PictureSize{bitmap.bmWidth, bitmap.bmHeight};
}

void ClearPreview() {
    g_preview.detailsText.clear();
    g_preview.textPreview.clear();
    ReleasePreviewPicture();
}

}  // namespace

namespace {

// A double-click opens the file item it lands on, which its first click has
// selected; one on a group item opens or closes the group as usual.
bool DoubleClickOnSelectedFileItem() {
    const DWORD position = GetMessagePos();
    TVHITTESTINFO hit = {};
    hit.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ScreenToClient(g_resultsTree.tree, &hit.pt);
    SendMessageW(g_resultsTree.tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    return hit.hItem && (hit.flags & TVHT_ONITEM) && hit.hItem == TreeSelection() && TreeParent(hit.hItem);
}

}  // namespace

LRESULT RouteTreeNotification(HWND mainWindow, int controlId, const NMHDR* notification) {
    if (controlId != IDC_RESULTS_TREE) return 0;
    switch (notification->code) {
    case TVN_KEYDOWN:
        if (reinterpret_cast<const NMTVKEYDOWN*>(notification)->wVKey == VK_DELETE) RecycleSelectedFile(mainWindow);
        return 0;
    case NM_RETURN:
        OpenSelectedFile(mainWindow);
        return 0;
    case NM_DBLCLK:
        if (DoubleClickOnSelectedFileItem()) OpenSelectedFile(mainWindow);
        return 0;
    case TVN_GETDISPINFOW:
        AnswerItemText(*reinterpret_cast<NMTVDISPINFOW*>(const_cast<NMHDR*>(notification)));
        return 0;
    case TVN_ITEMEXPANDINGW:
        FillGroupBeforeExpanding(*reinterpret_cast<const NMTREEVIEWW*>(notification));
        return 0;  // the group opens
    default:
        ShowSelection(mainWindow, notification);
        return 0;
    }
}

void ShowSelection(HWND mainWindow, const NMHDR* notification) {
    // The notification's item fields are not read: the tree is asked.
    if (notification->code != TVN_SELCHANGEDW) return;
    ClearPreview();
    const std::string path = SelectedFilePath();
    if (!path.empty()) {
        LoadPreview(mainWindow, path);
        FileStatus status;
        // The status is read afresh: the file may have changed or gone since
        // the analysis.
        if (ReadFileStatus(path, status))
            g_preview.detailsText = WideFromCp932(BuildDetailsText(status, PreviewBitmapSize()));
    }
    InvalidateRect(mainWindow, nullptr, TRUE);
    RefreshFileInfoWindow();
}
