#include "platform/dpi_scale.h"

#include <cstdint>

int ScaleForDpi(int pixels, int dpi) {
    if (dpi <= 0) return pixels;
    const int64_t product = static_cast<int64_t>(pixels) * dpi;
    const int64_t half = product < 0 ? -kDesignDpi / 2 : kDesignDpi / 2;
    return static_cast<int>((product + half) / kDesignDpi);
}
