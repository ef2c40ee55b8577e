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

// Gap kept between the drop window and the bottom edge of the screen.
constexpr int kBottomMarginTwips = 455;

struct Point {
    int x, y;
};

// Where the drop window goes: bottom-right corner, the margin above the bottom.
Point dropWindowPosition(int screenWidthPx, int screenHeightPx, int windowWidthPx,
                         int windowHeightPx, int dpi);

// The pending-transfers window sits right on top of the drop window.
Point pendingWindowPosition(int screenWidthPx, int screenHeightPx,
                            int dropWindowHeightPx, int windowWidthTwips,
                            int windowHeightTwips, int dpi);

// A window in the middle of the screen (odd pixels go right and down).
Point centredWindowPosition(int screenWidthPx, int screenHeightPx, int windowWidthPx,
                            int windowHeightPx);

}  // namespace caldrift
