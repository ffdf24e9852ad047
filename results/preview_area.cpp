#include "results/preview_area.h"

#include "shell/main_layout.h"

namespace {

struct PaintSession {
    HWND window;
    PAINTSTRUCT paint;
    HDC dc;
    explicit PaintSession(HWND w) : window(w), dc(BeginPaint(w, &paint)) {}
    ~PaintSession() { EndPaint(window, &paint); }
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;
};

}  // namespace

void PaintPreviewArea(HWND mainWindow) {
    const RECT area = PreviewArea(mainWindow);
    PaintSession session(mainWindow);
    if (area.right <= area.left || area.bottom <= area.top) return;
    // The buffer keeps client coordinates: it spans from the origin to the
    // area's far corner.
    HBITMAP buffer = CreateCompatibleBitmap(session.dc, area.right, area.bottom);
    HDC bufferDc = CreateCompatibleDC(session.dc);
    if (!buffer || !bufferDc) {
        if (bufferDc) DeleteDC(bufferDc);
        if (buffer) DeleteObject(buffer);
        return;
    }
    HGDIOBJ previous = SelectObject(bufferDc, buffer);
    FillRect(bufferDc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    BitBlt(session.dc, area.left, area.top, area.right - area.left, area.bottom - area.top, bufferDc, area.left,
           area.top, SRCCOPY);
    SelectObject(bufferDc, previous);
    DeleteDC(bufferDc);
    DeleteObject(buffer);
}
