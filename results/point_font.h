// Fonts sized in points for a device.
#pragma once

#include <windows.h>

#include "platform/gdi_handles.h"

// A Shift-JIS font of `face` (code page 932) at `points` for the device's vertical
// resolution (13 pixels for 10 points at 96 dpi).
UniqueFont CreatePointFont(HDC dc, const char* face, int points);
