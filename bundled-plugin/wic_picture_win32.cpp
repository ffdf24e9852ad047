#include "bundled-plugin/wic_picture_win32.h"

#include <algorithm>
#include <climits>

#include "platform/declared_size.h"
#include "bundled-plugin/image_signature.h"
#include "bundled-plugin/susie_result.h"

namespace {

// The result for a codec's failure on these bytes.
int ResultOfFailure(HRESULT failure, const unsigned char* bytes, size_t length) {
    if (failure == E_OUTOFMEMORY) return kSusieOutOfMemory;
    if (failure == WINCODEC_ERR_COMPONENTNOTFOUND) return kSusieUnknownFormat;
    return HasImageSignature(bytes, length) ? kSusieBrokenData : kSusieUnknownFormat;
}

template <typename Interface>
UniqueCom<Interface> Adopt(Interface* object) {
    return UniqueCom<Interface>(object);
}

}  // namespace

int OpenFirstFrame(const unsigned char* bytes, size_t length, WicFrame& picture) {
    if (bytes == nullptr || length == 0) return kSusieUnknownFormat;
    if (length > ULONG_MAX) return kSusieOutOfMemory;
    if (DeclaresSizeBeyondLimits(bytes, length)) return kSusieOutOfMemory;

    IWICImagingFactory* factory = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&factory)))) {
        return kSusieInternalError;
    }
    picture.factory = Adopt(factory);
    IWICStream* stream = nullptr;
    if (FAILED(picture.factory->CreateStream(&stream))) return kSusieOutOfMemory;
    picture.stream = Adopt(stream);
    // The stream only reads the bytes.
    HRESULT result = picture.stream->InitializeFromMemory(const_cast<BYTE*>(bytes), static_cast<DWORD>(length));
    if (FAILED(result)) return ResultOfFailure(result, bytes, length);

    IWICBitmapDecoder* decoder = nullptr;
    result = picture.factory->CreateDecoderFromStream(picture.stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                      &decoder);
    if (FAILED(result)) return ResultOfFailure(result, bytes, length);
    picture.decoder = Adopt(decoder);
    IWICBitmapFrameDecode* frame = nullptr;
    result = picture.decoder->GetFrame(0, &frame);
    if (FAILED(result)) return ResultOfFailure(result, bytes, length);
    picture.frame = Adopt(frame);
    result = picture.frame->GetSize(&picture.width, &picture.height);
    if (FAILED(result)) return ResultOfFailure(result, bytes, length);
    if (picture.width == 0 || picture.height == 0) return kSusieBrokenData;
    return WithinDecodeLimits(picture.width, picture.height) ? kSusieSuccess : kSusieOutOfMemory;
}

int StoredBitsPerPixel(const WicFrame& picture) {
    WICPixelFormatGUID format;
    if (FAILED(picture.frame->GetPixelFormat(&format))) return 0;
    IWICComponentInfo* component = nullptr;
    if (FAILED(picture.factory->CreateComponentInfo(format, &component))) return 0;
    const UniqueCom<IWICComponentInfo> componentOwner(component);
    IWICPixelFormatInfo* formatInfo = nullptr;
    if (FAILED(component->QueryInterface(IID_IWICPixelFormatInfo, reinterpret_cast<void**>(&formatInfo)))) return 0;
    const UniqueCom<IWICPixelFormatInfo> formatOwner(formatInfo);
    UINT bits = 0;
    return SUCCEEDED(formatInfo->GetBitsPerPixel(&bits)) ? static_cast<int>(bits) : 0;
}

int DecodeBottomUpBgra(const WicFrame& picture, unsigned char* dib, const std::function<bool(int rowsDone)>& progress) {
    // Through the factory rather than WICConvertBitmapSource, so that the
    // plug-in imports nothing from windowscodecs: hosts that load it only to
    // ask its filters do not load the codecs too.
    IWICFormatConverter* converter = nullptr;
    HRESULT result = picture.factory->CreateFormatConverter(&converter);
    if (FAILED(result)) return kSusieOutOfMemory;
    const UniqueCom<IWICFormatConverter> source(converter);
    result = source->Initialize(picture.frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr,
                                0.0, WICBitmapPaletteTypeCustom);
    if (FAILED(result)) return result == E_OUTOFMEMORY ? kSusieOutOfMemory : kSusieBrokenData;
    const int width = static_cast<int>(picture.width);
    const int height = static_cast<int>(picture.height);
    const UINT stride = picture.width * 4;
    // About fifty slices, so that a host can follow the decode and stop it.
    const int slice = std::max(1, height / 50);
    for (int row = 0; row < height;) {
        const int end = std::min(height, row + slice);
        // Row by row, each straight into its bottom-up place.
        for (; row < end; ++row) {
            const WICRect rect = {0, row, width, 1};
            result = source->CopyPixels(&rect, stride, stride, dib + static_cast<size_t>(height - 1 - row) * stride);
            if (FAILED(result)) return result == E_OUTOFMEMORY ? kSusieOutOfMemory : kSusieBrokenData;
        }
        if (!progress(row)) return kSusieStoppedByCallback;
    }
    return kSusieSuccess;
}
