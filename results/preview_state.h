// What is shown of the selected file: its details text (painted by the
// file-information window) and its preview (painted beside the tree). One
// instance, user-interface thread only.
#pragma once

#include <windows.h>

#include <string>

#include "platform/gdi_handles.h"

struct PreviewState {
    // Both held wide, converted once from their code page 932 text, since
    // every paint draws them.
    std::wstring detailsText;  // empty while nothing (or a vanished file) is selected
    std::wstring textPreview;  // the first lines of a text file
    // The preview picture: at most one slot is filled, each owned here.
    UniqueBitmap bitmap;
    UniqueIcon icon;
    UniqueCursor cursor;
};

extern PreviewState g_preview;

// Releases whichever picture slot is filled and empties it.
void ReleasePreviewPicture();
