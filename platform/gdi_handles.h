// Owners of graphics handles (Win32 builds only): each releases its handle
// the one way that kind of handle is released, and none can be copied.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using UniqueBitmap = std::unique_ptr<std::remove_pointer<HBITMAP>::type, GdiObjectDeleter>;

struct MemoryDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
// A device context from CreateCompatibleDC.
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer<HDC>::type, MemoryDcDeleter>;

struct IconDestroyer {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer<HICON>::type, IconDestroyer>;

// HCURSOR is HICON to the compiler; the deleter keeps the two apart.
struct CursorDestroyer {
    void operator()(HCURSOR cursor) const { DestroyCursor(cursor); }
};
using UniqueCursor = std::unique_ptr<std::remove_pointer<HCURSOR>::type, CursorDestroyer>;

using UniqueFont = std::unique_ptr<std::remove_pointer<HFONT>::type, GdiObjectDeleter>;

static_assert(!std::is_copy_constructible<UniqueBitmap>::value, "graphics owners must not be copyable");
static_assert(!std::is_same<UniqueIcon, UniqueCursor>::value, "icons and cursors are released differently");

// A window's device context for one scope (GetDC / ReleaseDC).
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// One WM_PAINT's drawing (BeginPaint / EndPaint).
class PaintSession {
public:
    explicit PaintSession(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintSession() { EndPaint(window_, &paint_); }
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_;
    HDC dc_;
};

// Selects an object into a device context for one scope and puts the
// previous one back.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelection() { SelectObject(dc_, previous_); }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};
