#include "decoder/picture_source_win32.h"

#include <windows.h>

#include "engine/file_identity.h"
#include "platform/whole_file.h"
#include "platform/wide_path.h"
#include "platform/wide_text.h"

namespace {

// A picture read into memory for a plug-in is held twice while it decodes;
// larger files are no pictures to preview.
constexpr size_t kLargestPictureInMemory = 256u << 20;

// A narrow path the plug-in's own file functions open as this very file:
// code page 932, within the classic limit, and its own normal form (they
// take no "\\?\" prefix, and the system's normalisation would turn a name
// ending in a space or a dot into another one).
bool NarrowPathFor(const std::wstring& wide, std::string& narrow) {
    return wide.size() < MAX_PATH && NormalFormOf(wide) == wide && Cp932FromWideExactly(wide, narrow);
}

}  // namespace

PictureSource ChoosePictureSource(const std::string& path) {
    PictureSource source;
    const std::wstring wide = WideFromUtf8(path);
    if (NarrowPathFor(wide, source.narrowPath)) {
        source.usable = true;
        return source;
    }
    const std::wstring shortForm = ShortPathOf(WidePathForAnyLength(wide));
    FileIdentity real, alias;
    if (NarrowPathFor(shortForm, source.narrowPath) && QueryFileIdentity(path, real) &&
        QueryFileIdentity(Utf8FromWide(shortForm), alias) && real == alias) {
        source.usable = true;
        return source;
    }
    source.narrowPath.clear();
    source.usable = ReadWholeFile(wide, kLargestPictureInMemory, source.bytes);
    return source;
}
