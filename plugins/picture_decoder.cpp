#include "plugins/picture_decoder.h"

#include "platform/cp932_text.h"
#include "platform/kernel_handles.h"
#include "platform/wide_path.h"
#include "plugins/dib_validation.h"
#include "plugins/plugin_registry.h"

namespace {

using GetPictureFunction = int(WINAPI*)(LPCSTR input, LONG length, unsigned int flags, HLOCAL* bitmapInfo,
                                        HLOCAL* bitmapBits, FARPROC progressCallback, LONG progressData);

constexpr unsigned int kInputIsFile = 0;

// Some plug-ins call the progress callback without checking it for null;
// this one lets every decode run to its end.
int WINAPI KeepDecoding(int /*done*/, int /*total*/, LONG /*data*/) { return 0; }

FARPROC AsFarProc(int(WINAPI* procedure)(int, int, LONG)) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(procedure));
}

UniqueBitmap BitmapFromPluginBlocks(HWND window, HLOCAL info, HLOCAL bits) {
    ScopedGlobalLock infoLock(info);
    ScopedGlobalLock bitsLock(bits);
    if (!infoLock.get() || !bitsLock.get()) return nullptr;
    // LocalSize is 0 for a handle that is no block of this process.
    if (!IsCompleteDib(static_cast<const unsigned char*>(infoLock.get()), LocalSize(info), LocalSize(bits))) {
        return nullptr;
    }
    const auto* bitmapInfo = static_cast<const BITMAPINFO*>(infoLock.get());
    WindowDc dc(window);
    if (!dc.get()) return nullptr;
    return UniqueBitmap(
        CreateDIBitmap(dc.get(), &bitmapInfo->bmiHeader, CBM_INIT, bitsLock.get(), bitmapInfo, DIB_RGB_COLORS));
}

}  // namespace

UniqueBitmap DecodeWithPlugin(HWND window, const std::string& pluginPath, const std::string& filePath) {
    const std::wstring widePluginPath = WidePathFromNarrow(pluginPath);
    if (widePluginPath.empty()) return nullptr;
    // Declared first, so that it goes last: the blocks are freed before the
    // plug-in is unloaded.
    UniqueModule module(LoadLibraryExW(widePluginPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module) return nullptr;
    auto getPicture = reinterpret_cast<GetPictureFunction>(
        reinterpret_cast<void*>(GetProcAddress(module.get(), "GetPicture")));
    if (!getPicture) return nullptr;
    HLOCAL info = nullptr;
    HLOCAL bits = nullptr;
    // A failed call leaves nothing to free, whatever it wrote into the two.
    if (getPicture(filePath.c_str(), 0, kInputIsFile, &info, &bits, AsFarProc(KeepDecoding), 0) != 0) {
        return nullptr;
    }
    UniqueLocal infoOwner(info);
    UniqueLocal bitsOwner(bits);
    if (!info || !bits) return nullptr;
    return BitmapFromPluginBlocks(window, info, bits);
}

void DecodePictureFile(HWND window, const std::string& filePath, UniqueBitmap& slot) {
    slot.reset();
    const std::string dotted = PathExtension(filePath);
    if (dotted.empty()) return;
    const std::string extension = dotted.substr(1);
    for (const PluginEntry& entry : g_pluginRegistry.entries) {
        if (EqualsIgnoringCase(entry.extension, extension)) {
            slot = DecodeWithPlugin(window, entry.pluginPath, filePath);
            return;
        }
    }
}
