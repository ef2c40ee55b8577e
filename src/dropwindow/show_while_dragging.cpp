#include "dropwindow/show_while_dragging.h"

namespace caldrift {

DragVisibilityStep sampleDragVisibility(const std::function<bool()>& leftButtonDown,
                                        bool windowVisible) {
    DragVisibilityStep step;
    if (leftButtonDown() && !windowVisible) step.armShowTimer = true;
    if (!leftButtonDown() && windowVisible) step.hide = true;
    return step;
}

}  // namespace caldrift
