#include "results/preview_state.h"

PreviewState g_preview;

void ReleasePreviewPicture() {
    g_preview.bitmap.reset();
    g_preview.icon.reset();
    g_preview.cursor.reset();
}
