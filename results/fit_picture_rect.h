// Where a picture is painted in the preview area: scaled to fill the area's
// width or height, its proportions kept, anchored at the area's top-left.
#pragma once

// A rectangle in client coordinates, right and bottom exclusive (the
// platform's RECT without the platform).
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// A picture relatively wider than the area (width-to-height ratio strictly
// above the area's) takes the area's width; any other takes its height.
// Smaller pictures are enlarged. An area or a picture without width or
// height gives an empty rectangle at the area's top-left corner.
PixelRect FitPictureRect(const PixelRect& area, int pictureWidth, int pictureHeight);
