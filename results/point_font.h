// Fonts sized in points for a device, and their owner.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

#include "results/gdi_handles.h"

using UniqueFont = std::unique_ptr<std::remove_pointer<HFONT>::type, GdiObjectDeleter>;

// A Shift-JIS font of `face` at `points` for the device's vertical
// resolution (13 pixels for 10 points at 96 dpi).
UniqueFont CreatePointFont(HDC dc, const char* face, int points);

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
