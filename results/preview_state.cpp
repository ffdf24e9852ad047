#include "results/preview_state.h"

PreviewState g_preview;

void ReleasePreviewPicture() {
    if (g_preview.bitmap) DeleteObject(g_preview.bitmap);
    if (g_preview.icon) DestroyIcon(g_preview.icon);
    if (g_preview.cursor) DestroyCursor(g_preview.cursor);
    g_preview.bitmap = nullptr;
    g_preview.icon = nullptr;
    g_preview.cursor = nullptr;
}
