#include "plugins/picture_decoder.h"

#include <vector>

#include "platform/path_text.h"
#include "platform/kernel_handles.h"
#include "plugins/decoder_helper.h"
#include "plugins/decoder_protocol.h"
#include "plugins/dib_validation.h"
#include "plugins/plugin_registry.h"

namespace {

// The bitmap from the picture the helper left in `section`. The header and
// colour table are copied out before they are checked and used, since the
// helper can still write to the section; the pixels stay where they are,
// and what CreateDIBitmap reads of them is bounded by the checked copy.
UniqueBitmap BitmapFromSection(HWND window, HANDLE section, const PictureReply& reply) {
    const uint64_t pixelOffset = PixelOffset(reply.infoBytes);
    // Mapping fails for a section smaller than the reply claims.
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

}  // namespace

UniqueBitmap DecodeWithPlugin(HWND window, const std::string& pluginPath, const std::string& filePath) {
    std::string answer;
    const DecoderRequest request{DecoderRequestKind::kPicture, pluginPath, filePath};
    if (!AskDecoderHelper(EncodeRequest(request), kPictureWaitMs, answer)) return nullptr;
    PictureReply reply;
    if (!DecodePictureReply(answer, reply)) {
        EndDecoderHelper();
        return nullptr;
    }
    if (reply.result != 0) return nullptr;
    // Taken out of the helper before anything else, so that it never stays
    // behind there.
    UniqueHandle section = TakeHandleFromDecoderHelper(reply.section);
    if (!section) {
        EndDecoderHelper();
        return nullptr;
    }
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
