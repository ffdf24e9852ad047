#include "bundled-plugin/plugin_info.h"

#include <cstring>
#include <iterator>

namespace {

const char* const kInfoTexts[] = {
    "00IN",
    "Tovrik image plug-in 1.0 (stb_image)",
    "*.png", "PNG",
    "*.jpg;*.jpeg;*.jpe;*.jfif", "JPEG",
    "*.gif", "GIF (first frame)",
    "*.bmp", "BMP",
    "*.tga", "Targa",
    "*.psd", "Photoshop (composite image)",
    "*.hdr", "Radiance HDR",
    "*.pic", "Softimage PIC",
    "*.pnm;*.ppm;*.pgm", "Binary PPM/PGM",
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
