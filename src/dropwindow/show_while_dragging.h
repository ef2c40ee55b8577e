#pragma once
#include <functional>

namespace caldrift {

// The drop window comes up while the left button is held anywhere (the user
// is dragging) and goes away once it is released.
struct DragVisibilityStep {
    bool armShowTimer = false;  // start the one-shot timer that shows the window
    bool hide = false;
};

// One tick of the 1-second sampling timer. The button is asked twice, as the
// window shows and hides on separate samples.
DragVisibilityStep sampleDragVisibility(const std::function<bool()>& leftButtonDown,
                                        bool windowVisible);

}  // namespace caldrift
