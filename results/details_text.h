// The details text of the selected file, which the file-information window
// shows: its last-write time, its length and, for a picture, its size.
#pragma once

#include <optional>
#include <string>

#include "results/file_status.h"

struct PictureSize {
    int width = 0;
    int height = 0;
};

// "更新日時＝2009年10月 9日  6時43分56秒\n" then "ファイルサイズ＝" and the
// digit-grouped length; for a picture "\n画像サイズ　縦=<height>  横=<width>"
// follows. Never ends with a line feed.
std::string BuildDetailsText(const FileStatus& status, const std::optional<PictureSize>& picture);
