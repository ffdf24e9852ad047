#include "results/preview_kind.h"

#include "results/text_preview.h"
#include "shell/cp932_text.h"

std::string PathExtension(const std::string& path) {
    // "." is never the second byte of a code page 932 character.
    const size_t dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

PreviewKind ChoosePreviewKind(const std::string& extension) {
    if (EqualsIgnoringCase(extension, ".bmp")) return PreviewKind::kBitmap;
    if (EqualsIgnoringCase(extension, ".ico")) return PreviewKind::kIcon;
    if (EqualsIgnoringCase(extension, ".cur")) return PreviewKind::kCursor;
    if (IsTextFileExtension(extension)) return PreviewKind::kText;
    return PreviewKind::kPlugin;
}
