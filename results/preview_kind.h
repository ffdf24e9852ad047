// How the selected file is previewed, decided by its extension alone.
#pragma once

#include <string>

enum class PreviewKind { kBitmap, kIcon, kCursor, kText, kPlugin };

// ".bmp", ".ico", ".cur", then the text-file extensions, in any letter case;
// everything else, no extension included, is offered to the plug-ins.
PreviewKind ChoosePreviewKind(const std::string& extension);
