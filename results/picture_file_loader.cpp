#include "results/picture_file_loader.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "engine/input_file.h"
#include "platform/wide_path.h"
#include "platform/wide_text.h"
#include "results/picture_file_layout.h"

namespace {

// Larger files are no pictures to preview; reading them would only cost
// the user-interface thread memory and time.
constexpr size_t kLargestPictureFile = 256u << 20;
constexpr DWORD kIconFormatVersion = 0x00030000;
constexpr size_t kHotspotBytes = 4;

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    InputFile file = OpenInputFile(path);
    if (!file) return false;
    bytes.clear();
    char piece[64 * 1024];
    for (;;) {
        const InputRead read = ReadInputFile(*file, piece, sizeof piece);
        if (read.failed) return false;  // a picture cut short by a fault is none
        bytes.append(piece, read.bytes);
        if (bytes.size() > kLargestPictureFile) return false;
        if (read.bytes < sizeof piece) return true;
    }
}

HBITMAP BitmapFromBytes(const std::string& file) {
    ByteRange info, pixels;
    if (!LocateBitmapFileParts(file, info, pixels)) return nullptr;
    // The header block sits 14 bytes into the file: GDI gets it aligned.
    std::vector<DWORD> aligned((info.length + sizeof(DWORD) - 1) / sizeof(DWORD));
    std::memcpy(aligned.data(), file.data() + info.offset, info.length);
    const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(aligned.data());
    WindowDc screen(nullptr);
    if (!screen.get()) return nullptr;
    // A device-dependent bitmap, as the system's loader makes.
    return CreateDIBitmap(screen.get(), &bitmapInfo->bmiHeader, CBM_INIT, file.data() + pixels.offset, bitmapInfo,
                          DIB_RGB_COLORS);
}

HICON IconFromBytes(const std::string& file, IconFileKind kind) {
    const bool isIcon = kind == IconFileKind::kIcon;
    IconFileImage image;
    if (!ChooseIconFileImage(file, kind, GetSystemMetrics(isIcon ? SM_CXICON : SM_CXCURSOR), image)) return nullptr;
    // A cursor's resource data starts with its hotspot.
    std::string resource;
    if (!isIcon) {
        const WORD hotspot[2] = {static_cast<WORD>(image.hotspotX), static_cast<WORD>(image.hotspotY)};
        resource.assign(reinterpret_cast<const char*>(hotspot), kHotspotBytes);
    }
    resource.append(file, image.bytes.offset, image.bytes.length);
    return CreateIconFromResourceEx(reinterpret_cast<BYTE*>(&resource[0]), static_cast<DWORD>(resource.size()),
                                    isIcon, kIconFormatVersion, image.width, image.height, LR_DEFAULTCOLOR);
}

IconFileKind IconKindOf(UINT type) { return type == IMAGE_ICON ? IconFileKind::kIcon : IconFileKind::kCursor; }

HANDLE LoadPictureFile(const std::string& path, UINT type) {
    // Read and checked first on every path: the system's loader fills a
    // damaged bitmap's missing rows with black, and takes whatever memory
    // an icon's header asks for.
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return nullptr;
    const bool bitmap = type == IMAGE_BITMAP;
    if (bitmap ? !IsWholeBitmapFile(bytes) : !IsWholeIconFile(bytes, IconKindOf(type))) return nullptr;
    // The system's loader knows every variant of these formats, but opens
    // no path beyond the classic limit, and normalises the one it opens (a
    // name ending in a space or a dot would lose it and name another file):
    // it gets only a path that is its own normal form.
    const std::wstring widePath = WideFromUtf8(path);
    if (widePath.empty()) return nullptr;
    if (widePath.size() < MAX_PATH && NormalFormOf(widePath) == widePath)
        return LoadImageW(nullptr, widePath.c_str(), type, 0, 0, LR_LOADFROMFILE);
    if (bitmap) return BitmapFromBytes(bytes);
    return IconFromBytes(bytes, IconKindOf(type));
}

}  // namespace

UniqueBitmap LoadBitmapFile(const std::string& path) {
    return UniqueBitmap(static_cast<HBITMAP>(LoadPictureFile(path, IMAGE_BITMAP)));
}

UniqueIcon LoadIconFile(const std::string& path) {
    return UniqueIcon(static_cast<HICON>(LoadPictureFile(path, IMAGE_ICON)));
}

UniqueCursor LoadCursorFile(const std::string& path) {
    return UniqueCursor(static_cast<HCURSOR>(LoadPictureFile(path, IMAGE_CURSOR)));
}
