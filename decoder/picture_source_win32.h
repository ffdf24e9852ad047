// How a picture reaches a plug-in (Win32 builds only). The plug-in
// interface is narrow, code page 932, while the picture's path is the real
// name in UTF-8: the plug-in gets the code page 932 path where the path
// converts exactly and is short enough for the narrow functions, else the
// 8.3 path where one exists, converts and names the same file, else the
// file's bytes through the interface's memory input.
#pragma once

#include <string>

struct PictureSource {
    bool usable = false;     // false: the file cannot be read at all
    std::string narrowPath;  // a file input, when not empty
    std::string bytes;       // otherwise the whole file, a memory input
};

PictureSource ChoosePictureSource(const std::string& path);
