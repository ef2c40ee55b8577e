#pragma once
#include "common/twips.h"

namespace caldrift {

// The part of the primary monitor that the taskbar leaves free, in pixels,
// wherever the taskbar stands.
struct WorkArea {
    int left, top, right, bottom;
};

// Gap kept between the drop window and the bottom edge of the work area.
constexpr int kBottomMarginTwips = 455;

// Where the drop window goes: the bottom-right corner, the margin above the bottom.
Point dropWindowPosition(const WorkArea& area, int windowWidthPx, int windowHeightPx, int dpi);

// The pending-transfers window sits right on top of the drop window.
Point pendingWindowPosition(const WorkArea& area, int dropWindowHeightPx, int windowWidthTwips,
                            int windowHeightTwips, int dpi);

}  // namespace caldrift
