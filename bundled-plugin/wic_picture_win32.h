// The first frame of a picture held in memory, decoded by the Windows
// Imaging Component (windowscodecs): the codecs of the system, whatever
// ones the user has installed. COM must be initialised on the calling
// thread for as long as a WicFrame lives.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <cstddef>
#include <functional>

#include "platform/com_handles.h"

struct WicFrame {
    UniqueCom<IWICImagingFactory> factory;
    UniqueCom<IWICStream> stream;
    UniqueCom<IWICBitmapDecoder> decoder;
    UniqueCom<IWICBitmapFrameDecode> frame;
    UINT width = 0;
    UINT height = 0;
};

// Opens the first frame of the picture in `bytes`, which must outlive the
// frame. Returns a SusieResult: out of memory for a size beyond the decode
// limits, whether the headers declare it (checked before any decoder sees
// the bytes) or the frame does; unknown format when no codec takes the
// bytes; broken data when one should and cannot.
int OpenFirstFrame(const unsigned char* bytes, size_t length, WicFrame& frame);

// The bits per pixel the frame stores: 8 for grey, 24 for colour, 32 with
// alpha and so on; 0 when the codec does not tell.
int StoredBitsPerPixel(const WicFrame& frame);

// Decodes the frame into `dib` (4 * width * height bytes) as 32-bit BGRA
// rows, bottom-up, in slices; `progress` hears the rows done after each
// slice and stops the decode by returning false. Returns a SusieResult.
int DecodeBottomUpBgra(const WicFrame& frame, unsigned char* dib, const std::function<bool(int rowsDone)>& progress);
