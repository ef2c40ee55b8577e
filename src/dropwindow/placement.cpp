#include "dropwindow/placement.h"

namespace caldrift {

// Measured in twips from the work area's right and bottom edges, as the
// window is designed.
Point dropWindowPosition(const WorkArea& area, int windowWidthPx, int windowHeightPx, int dpi) {
    int left = pixelsToTwips(area.right, dpi) - pixelsToTwips(windowWidthPx, dpi);
    int top =
        pixelsToTwips(area.bottom, dpi) - pixelsToTwips(windowHeightPx, dpi) - kBottomMarginTwips;
    return {twipsToPixels(left, dpi), twipsToPixels(top, dpi)};
}

Point pendingWindowPosition(const WorkArea& area, int dropWindowHeightPx, int windowWidthTwips,
                            int windowHeightTwips, int dpi) {
    int left = pixelsToTwips(area.right, dpi) - windowWidthTwips;
    int top = pixelsToTwips(area.bottom, dpi) - pixelsToTwips(dropWindowHeightPx, dpi) -
              windowHeightTwips - kBottomMarginTwips;
    return {twipsToPixels(left, dpi), twipsToPixels(top, dpi)};
}

}  // namespace caldrift
