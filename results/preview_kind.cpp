#include "results/preview_kind.h"

#include "platform/path_text.h"
#include "results/text_preview.h"

PreviewKind ChoosePreviewKind(const std::string& extension) {
    if (EqualsIgnoringCase(extension, ".bmp")) return PreviewKind::kBitmap;
    if (EqualsIgnoringCase(extension, ".ico")) return PreviewKind::kIcon;
    if (EqualsIgnoringCase(extension, ".cur")) return PreviewKind::kCursor;
    if (IsTextFileExtension(extension)) return PreviewKind::kText;
    return PreviewKind::kPlugin;
}
