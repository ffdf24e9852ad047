#include "bundled-plugin/plugin_info.h"

#include <cstring>
#include <iterator>

namespace {

const char* const kInfoTexts[] = {
    "00IN",
    "Tovrik image plug-in 2.0 (Windows Imaging Component)",
    "*.png", "PNG",
    "*.jpg;*.jpeg;*.jpe;*.jfif", "JPEG",
    "*.gif", "GIF (first frame)",
    "*.bmp;*.dib", "BMP",
    "*.tif;*.tiff", "TIFF (first page)",
    "*.ico", "Icon (first image)",
    // Decoded where the system has a codec installed for them.
    "*.webp", "WebP",
    "*.heic;*.heif", "HEIF",
    "*.jxr;*.wdp;*.hdp", "JPEG XR",
};

}  // namespace

int CopyPluginInfo(int infoNumber, char* buffer, int bufferLength) {
    if (infoNumber < 0 || infoNumber >= static_cast<int>(std::size(kInfoTexts))) return 0;
    if (buffer == nullptr || bufferLength <= 0) return 0;
    const char* text = kInfoTexts[infoNumber];
    size_t length = std::strlen(text);
    const size_t room = static_cast<size_t>(bufferLength) - 1;
    if (length > room) length = room;
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}
