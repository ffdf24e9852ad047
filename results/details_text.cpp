#include "results/details_text.h"

#include <cstdio>

#include "resources/texts.h"
#include "results/format_thousands.h"

namespace {

// Formats with one of the code page 932 formats; no Shift-JIS trail byte is
// "%", so printf reads them byte by byte safely.
template <typename... Values>
std::string Format(const char* format, Values... values) {
    char buffer[128];
    const int length = std::snprintf(buffer, sizeof buffer, format, values...);
    if (length < 0) return std::string();
    return std::string(buffer, static_cast<size_t>(length) < sizeof buffer ? static_cast<size_t>(length)
                                                                              : sizeof buffer - 1);
}

}  // namespace

std::string BuildDetailsText(const FileStatus& status, const std::optional<PictureSize>& picture) {
    std::string text = Format(kTextDetailsModifiedFormat, status.year, status.month, status.day, status.hour,
                              status.minute, status.second);
    text += kTextDetailsFileSizeLabel;
    text += FormatThousands(status.length);
    if (picture) text += Format(kTextDetailsPictureSizeFormat, picture->height, picture->width);
    return text;
}
