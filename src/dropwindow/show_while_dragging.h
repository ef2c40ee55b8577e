#pragma once
#include <functional>

namespace caldrift {

// The drop window comes up while the primary button is held anywhere (the
// user is dragging) and goes away once it is released.
struct DragVisibilityStep {
    bool armShowTimer = false;  // start the one-shot timer that shows the window
    bool hide = false;
};

// One tick of the 1-second sampling timer. The button is asked twice, as the
// window shows and hides on separate samples.
DragVisibilityStep sampleDragVisibility(const std::function<bool()>& primaryButtonDown,
                                        bool windowVisible);

// The virtual key of the physical button that drags: the left one (VK_LBUTTON),
// or the right one (VK_RBUTTON) for a user who swapped them.
int primaryButtonKey(bool buttonsSwapped);

}  // namespace caldrift
