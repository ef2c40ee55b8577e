#pragma once

// Window and control geometry is designed in twips (1/1440 inch); this is the
// one place where twips become pixels at the screen's real DPI.
namespace caldrift {

constexpr int kTwipsPerInch = 1440;

int twipsToPixels(int twips, int dpi);
int pixelsToTwips(int pixels, int dpi);

struct TwipRect {
    int left, top, width, height;
};

struct PixelRect {
    int left, top, width, height;
};

PixelRect toPixels(const TwipRect& r, int dpi);

struct Point {
    int x, y;
};

// A window in the middle of the screen (odd pixels go right and down).
Point centredWindowPosition(int screenWidthPx, int screenHeightPx, int windowWidthPx,
                            int windowHeightPx);

}  // namespace caldrift
