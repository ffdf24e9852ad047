// How the selected file is previewed, decided by its extension alone.
#pragma once

#include <string>

enum class PreviewKind { kBitmap, kIcon, kCursor, kText, kPlugin };

// The text from the last "." anywhere in the path to its end, dot included;
// a dot in a folder name counts. Empty when the path has no dot.
std::string PathExtension(const std::string& path);

// ".bmp", ".ico", ".cur", then the text-file extensions, in any letter case;
// everything else, no extension included, is offered to the plug-ins.
PreviewKind ChoosePreviewKind(const std::string& extension);
