// The preview's own pictures: .bmp, .ico and .cur files (Win32 builds only).
#pragma once

#include <string>

#include "platform/gdi_handles.h"

// Each loads the file at the picture's own size; null when it cannot be
// opened or read, does not hold such a picture whole, or declares a size
// beyond the picture limits. Paths beyond the classic
// length limit, where the system's file loader stops, are read here and
// made into the picture from memory.
UniqueBitmap LoadBitmapFile(const std::string& path);
UniqueIcon LoadIconFile(const std::string& path);
UniqueCursor LoadCursorFile(const std::string& path);
