// The plug-in's exports: the Susie plug-in interface over the platform-free
// decoder. Every failure is a return value; nothing is left for the host to
// free unless the call succeeds.
#include "bundled-plugin/susie_interface.h"

#include <algorithm>

#include "bundled-plugin/dib_rows.h"
#include "bundled-plugin/image_decode.h"
#include "bundled-plugin/image_header.h"
#include "bundled-plugin/plugin_info.h"
#include "bundled-plugin/plugin_input_win32.h"
#include "bundled-plugin/susie_result.h"
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
UniqueLocal AllocateBitmapInfo(const DecodedImage& image, const DibLayout& layout) {
    UniqueLocal block(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, sizeof(BITMAPINFO)));
    if (!block) return block;
    BITMAPINFOHEADER& header = static_cast<BITMAPINFO*>(block.get())->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = image.width;
    header.biHeight = image.height;  // positive: the rows run bottom-up
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(layout.bitsPerPixel);
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(layout.imageBytes);
    return block;
}

// The decoder runs in one piece; the conversion that follows is reported as
// the second half of the work, in about fifty slices, so that a host can
// follow it and stop between them.
bool ConvertWithProgress(const DecodedImage& image, const DibLayout& layout, unsigned char* bits,
                         const ProgressReporter& progress) {
    const int slice = std::max(1, image.height / 50);
    for (int row = 0; row < image.height; row += slice) {
        const int count = std::min(slice, image.height - row);
        WriteDibRows(image, layout, row, count, bits);
        if (!progress.Report(50 + 50 * (row + count) / image.height)) return false;
    }
    return true;
}

}  // namespace

extern "C" int __stdcall GetPluginInfo(int infoNumber, LPSTR buffer, int bufferLength) {
    return CopyPluginInfo(infoNumber, buffer, bufferLength);
}

extern "C" int __stdcall IsSupported(LPCSTR fileName, void* fileHandleOrHead) {
    unsigned char head[kSusieSupportHeadLength];
    const size_t length = ReadSupportHead(fileHandleOrHead, head);
    return IsSupportedHead(head, length, fileName) ? 1 : 0;
}

// colorDepth is the bits per pixel of the channels the picture holds, as the
// decoder reads them (8 grey up to 32 colour with alpha); GetPicture's bitmap
// is 24-bit all the same when no pixel turns out to be transparent.
extern "C" int __stdcall GetPictureInfo(LPCSTR input, LONG length, unsigned int flags, PictureInfo* info) {
    if (info == nullptr) return kSusieInternalError;
    PictureInput picture;
    ImageHeader header;
    int status = ReadPictureInput(input, length, flags, picture);
    if (status == kSusieSuccess) status = ReadImageHeader(picture.bytes, picture.length, header);
    if (status != kSusieSuccess) return status;
    *info = PictureInfo{};
    info->width = header.width;
    info->height = header.height;
    info->colorDepth = static_cast<SHORT>(header.channels * 8);
    return kSusieSuccess;
}

extern "C" int __stdcall GetPicture(LPCSTR input, LONG length, unsigned int flags, HLOCAL* bitmapInfo,
                                    HLOCAL* bitmapBits, FARPROC progressCallback, LONG progressData) {
    if (bitmapInfo == nullptr || bitmapBits == nullptr) return kSusieInternalError;
    *bitmapInfo = nullptr;
    *bitmapBits = nullptr;
    const ProgressReporter progress{ProgressCallbackFrom(progressCallback), progressData};
    if (!progress.Report(0)) return kSusieStoppedByCallback;

    DecodedImage image;
    {
        // The file's bytes are let go before the bitmap is allocated.
        PictureInput picture;
        int status = ReadPictureInput(input, length, flags, picture);
        if (status == kSusieSuccess) status = DecodeImage(picture.bytes, picture.length, image);
        if (status != kSusieSuccess) return status;
    }

    const DibLayout layout = DibLayoutFor(image);
    UniqueLocal info = AllocateBitmapInfo(image, layout);
    UniqueLocal bits(LocalAlloc(LMEM_FIXED, layout.imageBytes));
    if (!info || !bits) return kSusieOutOfMemory;
    if (!ConvertWithProgress(image, layout, static_cast<unsigned char*>(bits.get()), progress)) {
        return kSusieStoppedByCallback;
    }
    *bitmapInfo = info.release();
    *bitmapBits = bits.release();
    return kSusieSuccess;
}
