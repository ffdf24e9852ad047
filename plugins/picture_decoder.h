// Pictures decoded by the Susie plug-ins of the registry, as bitmaps
// compatible with a window's display (Win32 builds only).
#pragma once

#include <windows.h>

#include <string>

#include "platform/gdi_handles.h"

// Empties `slot`, then has the plug-in of the first registry row whose
// extension matches the file's (letter case ignored) decode the file; only
// that row is tried. The slot stays empty when the path has no dot, no row
// matches or the plug-in fails.
void DecodePictureFile(HWND window, const std::string& filePath, UniqueBitmap& slot);

// Has the decoder helper load the plug-in for this one decode, and unload
// it afterwards. Null when it cannot be loaded, lacks GetPicture, reports an
// error, returns blocks that do not hold the picture their header describes,
// or takes the helper down, past its wait or its memory limit.
UniqueBitmap DecodeWithPlugin(HWND window, const std::string& pluginPath, const std::string& filePath);
