// Pixel sizes of the layout, designed at 96 DPI, scaled to another DPI.
#pragma once

constexpr int kDesignDpi = 96;

// pixels × dpi / 96, rounded half away from zero as MulDiv rounds. A DPI
// that is not positive (a failed query) leaves the size as designed.
int ScaleForDpi(int pixels, int dpi);
