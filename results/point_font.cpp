#include "results/point_font.h"

#include "platform/wide_text.h"

UniqueFont CreatePointFont(HDC dc, const char* face, int points) {
    const int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    return UniqueFont(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                  OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                  VARIABLE_PITCH | FF_ROMAN, WideFromCp932(face).c_str()));
}
