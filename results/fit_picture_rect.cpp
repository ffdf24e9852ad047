#include "results/fit_picture_rect.h"

#include <algorithm>
#include <cmath>

PixelRect FitPictureRect(const PixelRect& area, int pictureWidth, int pictureHeight) {
    const double areaWidth = static_cast<double>(area.right) - area.left;
    const double areaHeight = static_cast<double>(area.bottom) - area.top;
    PixelRect fitted = area;
    // A tree wider than the window leaves a negative width, and a picture
    // of no pixels has no ratio: nothing is drawn for either.
    if (!(areaWidth > 0 && areaHeight > 0) || pictureWidth <= 0 || pictureHeight <= 0) {
        fitted.right = area.left;
        fitted.bottom = area.top;
        return fitted;
    }
    const double pictureRatio = static_cast<double>(pictureWidth) / pictureHeight;
    const double areaRatio = areaWidth / areaHeight;
    // The extents divide by the picture's side last instead of scaling by
    // the rounded ratio: 391 * (399.0 / 391) comes out just below 399, and a
    // picture of the area's own proportions would stop a pixel short.
    // Both stay within the area: the first is below areaHeight on this side
    // of the comparison, the second at most areaWidth on the other.
    // The sum is formed in doubles: an extent may exceed what an int holds
    // (an area from INT_MIN to INT_MAX), the far edge it leads to never does.
    if (pictureRatio > areaRatio) {
        const double extent = std::min(std::trunc(areaWidth * pictureHeight / pictureWidth), areaHeight);
        fitted.bottom = static_cast<int>(area.top + extent);
    } else {
        const double extent = std::min(std::trunc(areaHeight * pictureWidth / pictureHeight), areaWidth);
        fitted.right = static_cast<int>(area.left + extent);
    }
    return fitted;
}
