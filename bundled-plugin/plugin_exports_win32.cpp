// The plug-in's exports: the Susie plug-in interface over the Windows
// Imaging Component. Every failure is a return value; nothing is left for
// the host to free unless the call succeeds.
#include "bundled-plugin/susie_interface.h"

#include "bundled-plugin/dib_rows.h"
#include "bundled-plugin/image_signature.h"
#include "bundled-plugin/plugin_info.h"
#include "bundled-plugin/plugin_input_win32.h"
#include "bundled-plugin/susie_result.h"
#include "bundled-plugin/wic_picture_win32.h"
#include "platform/com_handles.h"
#include "platform/kernel_handles.h"

namespace {

struct ProgressReporter {
    SusieProgressCallback callback;
    LONG data;

    // False when the host asks to stop.
    bool Report(int percent) const { return callback == nullptr || callback(percent, 100, data) == 0; }
};

SusieProgressCallback ProgressCallbackFrom(FARPROC procedure) {
    // Through void (*)(), the one function pointer type GCC lets any other
    // convert to without a warning.
    return reinterpret_cast<SusieProgressCallback>(reinterpret_cast<void (*)()>(procedure));
}

// Fixed blocks: the handle is the block's address, so hosts that lock the
// handle (LocalLock or GlobalLock) and hosts that use it directly both work.
UniqueLocal AllocateBitmapInfo(int width, int height, const DibLayout& layout) {
    UniqueLocal block(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, sizeof(BITMAPINFO)));
    if (!block) return block;
    BITMAPINFOHEADER& header = static_cast<BITMAPINFO*>(block.get())->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;  // positive: the rows run bottom-up
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(layout.bitsPerPixel);
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(layout.imageBytes);
    return block;
}

// Decodes the picture's first frame into a 32-bit bottom-up block of
// `width` x `height`; the codec's own buffers are gone when it returns.
int DecodePicture(const PictureInput& input, const ProgressReporter& progress, UniqueLocal& bits, int& width,
                  int& height) {
    WicFrame frame;
    const int status = OpenFirstFrame(input.bytes, input.length, frame);
    if (status != kSusieSuccess) return status;
    width = static_cast<int>(frame.width);
    height = static_cast<int>(frame.height);
    bits.reset(LocalAlloc(LMEM_FIXED, DibLayoutFor(width, height, 32).imageBytes));
    if (!bits) return kSusieOutOfMemory;
    const int rows = height;
    return DecodeBottomUpBgra(frame, static_cast<unsigned char*>(bits.get()),
                              [&progress, rows](int done) { return progress.Report(100 * done / rows); });
}

// All opaque: the rows are narrowed to 24 bits and the block to their size.
DibLayout FinishLayout(UniqueLocal& bits, int width, int height) {
    auto* dib = static_cast<unsigned char*>(bits.get());
    if (HasTransparentPixel(dib, static_cast<size_t>(width) * static_cast<size_t>(height)))
        return DibLayoutFor(width, height, 32);
    const DibLayout layout = DibLayoutFor(width, height, 24);
    NarrowToOpaqueRows(dib, width, height);
    // A fixed block shrinks where it is.
    if (HLOCAL shrunk = LocalReAlloc(bits.get(), layout.imageBytes, 0)) {
        bits.release();
        bits.reset(shrunk);
    }
    return layout;
}

}  // namespace

extern "C" int __stdcall GetPluginInfo(int infoNumber, LPSTR buffer, int bufferLength) {
    return CopyPluginInfo(infoNumber, buffer, bufferLength);
}

extern "C" int __stdcall IsSupported(LPCSTR /*fileName*/, void* fileHandleOrHead) {
    unsigned char head[kSusieSupportHeadLength];
    const size_t length = ReadSupportHead(fileHandleOrHead, head);
    return HasImageSignature(head, length) ? 1 : 0;
}

// colorDepth is the bits per pixel the picture stores (8 grey up to 32
// colour with alpha, more for deep pictures); GetPicture's bitmap is 24-bit
// all the same when no pixel turns out to be transparent.
extern "C" int __stdcall GetPictureInfo(LPCSTR input, LONG length, unsigned int flags, PictureInfo* info) {
    if (info == nullptr) return kSusieInternalError;
    const ScopedComInitialisation com;
    if (!com.usable()) return kSusieInternalError;
    PictureInput picture;
    int status = ReadPictureInput(input, length, flags, picture);
    if (status != kSusieSuccess) return status;
    WicFrame frame;
    status = OpenFirstFrame(picture.bytes, picture.length, frame);
    if (status != kSusieSuccess) return status;
    *info = PictureInfo{};
    info->width = static_cast<LONG>(frame.width);
    info->height = static_cast<LONG>(frame.height);
    info->colorDepth = static_cast<SHORT>(StoredBitsPerPixel(frame));
    return kSusieSuccess;
}

extern "C" int __stdcall GetPicture(LPCSTR input, LONG length, unsigned int flags, HLOCAL* bitmapInfo,
                                    HLOCAL* bitmapBits, FARPROC progressCallback, LONG progressData) {
    if (bitmapInfo == nullptr || bitmapBits == nullptr) return kSusieInternalError;
    *bitmapInfo = nullptr;
    *bitmapBits = nullptr;
    const ProgressReporter progress{ProgressCallbackFrom(progressCallback), progressData};
    if (!progress.Report(0)) return kSusieStoppedByCallback;
    const ScopedComInitialisation com;
    if (!com.usable()) return kSusieInternalError;

    UniqueLocal bits;
    int width = 0, height = 0;
    {
        // The file's bytes are let go before the bitmap information is made.
        PictureInput picture;
        int status = ReadPictureInput(input, length, flags, picture);
        if (status == kSusieSuccess) status = DecodePicture(picture, progress, bits, width, height);
        if (status != kSusieSuccess) return status;
    }
    const DibLayout layout = FinishLayout(bits, width, height);
    UniqueLocal info = AllocateBitmapInfo(width, height, layout);
    if (!info) return kSusieOutOfMemory;
    *bitmapInfo = info.release();
    *bitmapBits = bits.release();
    return kSusieSuccess;
}
