#include "platform/system_dpi.h"

#include <windows.h>

#include "platform/dpi_scale.h"
#include "platform/gdi_handles.h"

int SystemDpi() {
    WindowDc screen(nullptr);
    return screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : kDesignDpi;
}

int ScaleToSystemDpi(int pixels) { return ScaleForDpi(pixels, SystemDpi()); }
