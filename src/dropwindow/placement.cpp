#include "dropwindow/placement.h"

namespace caldrift {

Point dropWindowPosition(int screenWidthPx, int screenHeightPx, int windowWidthPx,
                         int windowHeightPx, int dpi) {
    int left = pixelsToTwips(screenWidthPx, dpi) - pixelsToTwips(windowWidthPx, dpi);
    int top = pixelsToTwips(screenHeightPx, dpi) - pixelsToTwips(windowHeightPx, dpi) -
              kBottomMarginTwips;
    return {twipsToPixels(left, dpi), twipsToPixels(top, dpi)};
}

Point pendingWindowPosition(int screenWidthPx, int screenHeightPx, int dropWindowHeightPx,
                            int windowWidthTwips, int windowHeightTwips, int dpi) {
    int left = pixelsToTwips(screenWidthPx, dpi) - windowWidthTwips;
    int top = pixelsToTwips(screenHeightPx, dpi) - pixelsToTwips(dropWindowHeightPx, dpi) -
              windowHeightTwips - kBottomMarginTwips;
    return {twipsToPixels(left, dpi), twipsToPixels(top, dpi)};
}

}  // namespace caldrift
