#include "decoder/plugin_calls_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "decoder/picture_source_win32.h"
#include "platform/committed_memory.h"
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

PictureReply DecodePicture(const std::string& pluginPath, const std::string& filePath, DecodedPicture& picture) {
    LetGo(picture);
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
    // One block handed over as both would be freed twice: it is freed once,
    // and holds no picture.
    UniqueLocal bitsOwner(bits != info ? bits : nullptr);
    if (!info || !bits || bits == info) return PictureReply();
    // The blocks are checked first: their header decides how much is read
    // from them. LocalSize is 0 for a handle that is no block of this process.
    DibSizes sizes;
    {
        ScopedGlobalLock infoLock(info);
        if (!infoLock.get() || !MeasureDib(static_cast<const unsigned char*>(infoLock.get()), LocalSize(info), sizes))
            return PictureReply();
    }
    if (LocalSize(bits) < sizes.pixelBytes || sizes.infoBytes > kMostInfoBytes ||
        PixelOffset(static_cast<uint32_t>(sizes.infoBytes)) + sizes.pixelBytes > kMostPictureBytes) {
        return PictureReply();
    }
    PictureReply reply;
    reply.result = 0;
    reply.infoBytes = static_cast<uint32_t>(sizes.infoBytes);
    reply.pixelBytes = static_cast<uint32_t>(sizes.pixelBytes);
    picture.sizes = sizes;
    picture.bits = std::move(bitsOwner);
    picture.info = std::move(infoOwner);
    picture.module = std::move(module);
    return reply;
}

int32_t CopyDecodedPicture(DecodedPicture& picture, HANDLE section) {
    UniqueHandle sectionOwner(section);
    // Let go of when this returns, whatever happens.
    const DecodedPicture taken = std::move(picture);
    if (!taken.info) return kPictureUnusable;
    const uint64_t pixelOffset = PixelOffset(static_cast<uint32_t>(taken.sizes.infoBytes));
    UniqueMappedView view(
        MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, static_cast<SIZE_T>(pixelOffset + taken.sizes.pixelBytes)));
    ScopedGlobalLock infoLock(taken.info.get());
    ScopedGlobalLock bitsLock(taken.bits.get());
    if (!view || !infoLock.get() || !bitsLock.get()) return kPictureUnusable;
    // The header, masks and colour table and the rows the header describes:
    // nothing the plug-in allocated beyond them.
    auto* target = static_cast<unsigned char*>(view.get());
    std::memcpy(target, infoLock.get(), static_cast<size_t>(taken.sizes.infoBytes));
    std::memcpy(target + pixelOffset, bitsLock.get(), static_cast<size_t>(taken.sizes.pixelBytes));
    return 0;
}

uint32_t CommittedKiB() {
    return static_cast<uint32_t>(std::min<uint64_t>(CommittedBytesOfThisProcess() / 1024, UINT32_MAX));
}
