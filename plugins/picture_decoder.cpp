#include "plugins/picture_decoder.h"

#include <vector>

#include "platform/path_text.h"
#include "platform/kernel_handles.h"
#include "plugins/decoder_helper.h"
#include "plugins/decoder_protocol.h"
#include "plugins/dib_validation.h"
#include "plugins/plugin_registry.h"

namespace {

// The bitmap from the picture the helper copied into `section`. The header
// and colour table are copied out before they are checked and used, since
// the helper may still write to the section; the pixels stay where they are,
// and what CreateDIBitmap reads of them is bounded by the checked copy.
UniqueBitmap BitmapFromSection(HWND window, HANDLE section, const PictureReply& reply) {
    const uint64_t pixelOffset = PixelOffset(reply.infoBytes);
    UniqueMappedView view(
        MapViewOfFile(section, FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(pixelOffset + reply.pixelBytes)));
    if (!view) return nullptr;
    const auto* bytes = static_cast<const unsigned char*>(view.get());
    const std::vector<unsigned char> info(bytes, bytes + reply.infoBytes);
    if (!IsCompleteDib(info.data(), info.size(), reply.pixelBytes)) return nullptr;
    const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(info.data());
    WindowDc dc(window);
    if (!dc.get()) return nullptr;
    return UniqueBitmap(CreateDIBitmap(dc.get(), &bitmapInfo->bmiHeader, CBM_INIT, bytes + pixelOffset, bitmapInfo,
                                       DIB_RGB_COLORS));
}

// Susie's "memory allocation error" and "memory error".
bool FailedForMemory(int32_t result) { return result == 4 || result == 5; }

bool AskForPicture(const std::string& pluginPath, const std::string& filePath, PictureReply& reply) {
    std::string answer;
    const DecoderRequest request{DecoderRequestKind::kPicture, pluginPath, filePath};
    if (!AskDecoderHelper(EncodeRequest(request), kPictureWaitMs, answer)) return false;
    if (DecodePictureReply(answer, reply)) return true;
    EndDecoderHelper();
    return false;
}

// The picture the helper holds, copied into a section that Tovrik makes:
// backed by the paging file and committed whole, so that reading it never
// faults, whatever the helper does. The helper gets a handle that can map
// it and nothing more (a writable view needs read access too): it can
// neither resize it nor reach anything else of Tovrik's. Null when the
// helper could not copy the picture.
UniqueHandle TakePictureIntoSection(const PictureReply& reply) {
    const uint64_t total = PixelOffset(reply.infoBytes) + reply.pixelBytes;
    UniqueHandle section(
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(total), nullptr));
    if (!section) return nullptr;
    DecoderRequest request;
    request.kind = DecoderRequestKind::kCopyPicture;
    request.section = GiveHandleToDecoderHelper(section.get(), FILE_MAP_READ | FILE_MAP_WRITE);
    if (request.section == 0) return nullptr;
    std::string answer;
    CopyReply copied;
    if (!AskDecoderHelper(EncodeRequest(request), kPictureWaitMs, answer)) return nullptr;
    if (!DecodeCopyReply(answer, copied)) {
        EndDecoderHelper();
        return nullptr;
    }
    EndDecoderHelperHoldingTooMuch(g_decoderHelper, copied.committedKiB);
    return copied.result == 0 ? std::move(section) : nullptr;
}

}  // namespace

UniqueBitmap DecodeWithPlugin(HWND window, const std::string& pluginPath, const std::string& filePath) {
    // A helper that served earlier calls may have been left short of memory
    // by a plug-in: a decode that fails for memory there is tried once more
    // in a fresh helper.
    const bool helperServedBefore = g_decoderHelper.process && g_decoderHelper.callsServed > 0;
    PictureReply reply;
    if (!AskForPicture(pluginPath, filePath, reply)) return nullptr;
    if (FailedForMemory(reply.result) && helperServedBefore) {
        EndDecoderHelper();
        if (!AskForPicture(pluginPath, filePath, reply)) return nullptr;
    }
    if (reply.result != 0) {
        EndDecoderHelperHoldingTooMuch(g_decoderHelper, reply.committedKiB);
        return nullptr;
    }
    UniqueHandle section = TakePictureIntoSection(reply);
    if (!section) return nullptr;
    return BitmapFromSection(window, section.get(), reply);
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
