#pragma once
#include "common/twips.h"

namespace caldrift {

// Gap kept between the drop window and the bottom edge of the screen.
constexpr int kBottomMarginTwips = 455;

// Where the drop window goes: bottom-right corner, the margin above the bottom.
Point dropWindowPosition(int screenWidthPx, int screenHeightPx, int windowWidthPx,
                         int windowHeightPx, int dpi);

// The pending-transfers window sits right on top of the drop window.
Point pendingWindowPosition(int screenWidthPx, int screenHeightPx, int dropWindowHeightPx,
                            int windowWidthTwips, int windowHeightTwips, int dpi);

}  // namespace caldrift
