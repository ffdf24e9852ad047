#include "decoder/plugin_calls_win32.h"

#include <windows.h>

#include <cstring>

#include "decoder/picture_source_win32.h"
#include "platform/wide_path.h"
#include "plugins/dib_validation.h"

namespace {

using GetPluginInfoFunction = int(WINAPI*)(int infoNumber, char* buffer, int bufferLength);
using GetPictureFunction = int(WINAPI*)(LPCSTR input, LONG length, unsigned int flags, HLOCAL* bitmapInfo,
                                        HLOCAL* bitmapBits, FARPROC progressCallback, LONG progressData);

constexpr unsigned int kInputIsFile = 0;
constexpr unsigned int kInputIsMemory = 1;

UniqueModule LoadPlugin(const std::string& pluginPath) {
    const std::wstring widePath = WidePathFromUtf8(pluginPath);
    if (widePath.empty()) return nullptr;
    // The plug-in's own folder is searched for the DLLs it needs.
    return UniqueModule(LoadLibraryExW(widePath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Some plug-ins call the progress callback without checking it for null;
// this one lets every decode run to its end.
int WINAPI KeepDecoding(int /*done*/, int /*total*/, LONG /*data*/) { return 0; }

FARPROC AsFarProc(int(WINAPI* procedure)(int, int, LONG)) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(procedure));
}

// Copies the header, masks and colour table and the pixel rows that the
// header describes (nothing the plug-in allocated beyond them) into a new
// section. The blocks are checked first: their header decides how much is
// read from them.
PictureReply CopyIntoSection(HLOCAL info, HLOCAL bits, UniqueHandle& section) {
    PictureReply reply;
    ScopedGlobalLock infoLock(info);
    ScopedGlobalLock bitsLock(bits);
    if (!infoLock.get() || !bitsLock.get()) return reply;
    const auto* infoBytes = static_cast<const unsigned char*>(infoLock.get());
    DibSizes sizes;
    // LocalSize is 0 for a handle that is no block of this process.
    if (!MeasureDib(infoBytes, LocalSize(info), sizes) || LocalSize(bits) < sizes.pixelBytes) return reply;
    if (sizes.infoBytes > kMostInfoBytes) return reply;
    const uint64_t pixelOffset = PixelOffset(static_cast<uint32_t>(sizes.infoBytes));
    const uint64_t total = pixelOffset + sizes.pixelBytes;
    if (total > kMostPictureBytes) return reply;

    section.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(total),
                                     nullptr));
    if (!section) return reply;
    UniqueMappedView view(MapViewOfFile(section.get(), FILE_MAP_WRITE, 0, 0, static_cast<SIZE_T>(total)));
    if (!view) {
        section.reset();
        return reply;
    }
    auto* target = static_cast<unsigned char*>(view.get());
    std::memcpy(target, infoBytes, static_cast<size_t>(sizes.infoBytes));
    std::memcpy(target + pixelOffset, bitsLock.get(), static_cast<size_t>(sizes.pixelBytes));
    reply.result = 0;
    reply.section = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(section.get()));
    reply.infoBytes = static_cast<uint32_t>(sizes.infoBytes);
    reply.pixelBytes = static_cast<uint32_t>(sizes.pixelBytes);
    return reply;
}

}  // namespace

FiltersReply AskPluginFilters(const std::string& pluginPath) {
    FiltersReply reply;
    UniqueModule module = LoadPlugin(pluginPath);
    if (!module) return reply;
    auto getPluginInfo = Export<GetPluginInfoFunction>(module.get(), "GetPluginInfo");
    if (!getPluginInfo) return reply;
    reply.asked = true;
    // The even numbers from 2 on are the file-type filters.
    for (int infoNumber = 2; reply.filters.size() < static_cast<size_t>(kMostFilterTexts); infoNumber += 2) {
        // The plug-in is trusted with the buffer, not with terminating it.
        char buffer[kFilterTextBytes] = {};
        if (getPluginInfo(infoNumber, buffer, kFilterTextBytes) == 0) break;
        buffer[kFilterTextBytes - 1] = '\0';
        reply.filters.emplace_back(buffer);
    }
    return reply;
}

PictureReply DecodePicture(const std::string& pluginPath, const std::string& filePath, UniqueHandle& section) {
    PictureReply unusable;
    unusable.result = kPluginUnusable;
    // Declared first, so that it goes last: the blocks are freed before the
    // plug-in is unloaded.
    UniqueModule module = LoadPlugin(pluginPath);
    if (!module) return unusable;
    auto getPicture = Export<GetPictureFunction>(module.get(), "GetPicture");
    if (!getPicture) return unusable;
    const PictureSource source = ChoosePictureSource(filePath);
    if (!source.usable) return PictureReply();
    HLOCAL info = nullptr;
    HLOCAL bits = nullptr;
    const bool fromFile = !source.narrowPath.empty();
    const int result =
        fromFile ? getPicture(source.narrowPath.c_str(), 0, kInputIsFile, &info, &bits, AsFarProc(KeepDecoding), 0)
                 : getPicture(source.bytes.data(), static_cast<LONG>(source.bytes.size()), kInputIsMemory, &info,
                              &bits, AsFarProc(KeepDecoding), 0);
    // A failed call leaves nothing to free, whatever it wrote into the two.
    if (result != 0) {
        PictureReply failed;
        failed.result = result;
        return failed;
    }
    UniqueLocal infoOwner(info);
    UniqueLocal bitsOwner(bits);
    if (!info || !bits) return PictureReply();
    return CopyIntoSection(info, bits, section);
}
