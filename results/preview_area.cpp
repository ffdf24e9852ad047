#include "results/preview_area.h"

#include "platform/gdi_handles.h"
#include "platform/system_dpi.h"
#include "resources/texts.h"
#include "results/fit_picture_rect.h"
#include "results/point_font.h"
#include "results/preview_state.h"
#include "shell/main_layout.h"

namespace {

// Icons, cursors and the text stand this far in from the area's top-left, at
// 96 DPI.
constexpr int kInset = 4;
constexpr int kTextPreviewPoints = 10;

void DrawPicture(HDC buffer, HDC windowDc, const RECT& area, HBITMAP picture) {
    BITMAP size;
    if (GetObjectW(picture, sizeof size, &size) != sizeof size) return;
    const PixelRect fitted =
        FitPictureRect(PixelRect{area.left, area.top, area.right, area.bottom}, size.bmWidth, size.bmHeight);
    UniqueMemoryDc pictureDc(CreateCompatibleDC(windowDc));
    if (!pictureDc) return;
    ScopedSelection selection(pictureDc.get(), picture);
    // HALFTONE averages the pixels a reduction drops; the brush origin must
    // be set again after choosing it.
    SetStretchBltMode(buffer, HALFTONE);
    SetBrushOrgEx(buffer, 0, 0, nullptr);
    StretchBlt(buffer, fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top,
               pictureDc.get(), 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
}

void DrawTextPreview(HDC buffer, HDC windowDc, const RECT& area, int inset) {
    UniqueFont font = CreatePointFont(windowDc, kTextPreviewFontFace, kTextPreviewPoints);
    ScopedSelection selection(buffer, font.get());
    RECT text = {area.left + inset, area.top + inset, area.right, area.bottom};
    DrawTextW(buffer, g_preview.textPreview.c_str(), static_cast<int>(g_preview.textPreview.size()), &text,
              DT_EDITCONTROL | DT_EXPANDTABS | DT_WORDBREAK);
}

// At most one of the four is filled.
void DrawPreview(HDC buffer, HDC windowDc, const RECT& area) {
    const int inset = ScaleToSystemDpi(kInset);
    if (g_preview.bitmap) {
        DrawPicture(buffer, windowDc, area, g_preview.bitmap.get());
    } else if (g_preview.icon) {
        DrawIcon(buffer, area.left + inset, area.top + inset, g_preview.icon.get());
    } else if (g_preview.cursor) {
        // The colour image alone, opaque, at the standard icon size.
        DrawIconEx(buffer, area.left + inset, area.top + inset, g_preview.cursor.get(), 0, 0, 0, nullptr,
                   DI_IMAGE | DI_DEFAULTSIZE);
    } else if (!g_preview.textPreview.empty()) {
        DrawTextPreview(buffer, windowDc, area, inset);
    }
}

}  // namespace

void PaintPreviewArea(HWND mainWindow) {
    const RECT area = PreviewArea(mainWindow);
    PaintSession session(mainWindow);
    if (area.right <= area.left || area.bottom <= area.top) return;
    // The buffer keeps client coordinates: it spans from the origin to the
    // area's far corner. Declared in this order, the buffer's context goes
    // before its bitmap, and the selection is undone before either.
    UniqueBitmap buffer(CreateCompatibleBitmap(session.dc(), area.right, area.bottom));
    UniqueMemoryDc bufferDc(CreateCompatibleDC(session.dc()));
    if (!buffer || !bufferDc) return;
    ScopedSelection selection(bufferDc.get(), buffer.get());
    FillRect(bufferDc.get(), &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawPreview(bufferDc.get(), session.dc(), area);
    BitBlt(session.dc(), area.left, area.top, area.right - area.left, area.bottom - area.top, bufferDc.get(),
           area.left, area.top, SRCCOPY);
}
