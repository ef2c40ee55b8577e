#include "dropwindow/show_while_dragging.h"

namespace caldrift {

DragVisibilityStep sampleDragVisibility(const std::function<bool()>& primaryButtonDown,
                                        bool windowVisible) {
    DragVisibilityStep step;
    if (primaryButtonDown() && !windowVisible) step.armShowTimer = true;
    if (!primaryButtonDown() && windowVisible) step.hide = true;
    return step;
}

int primaryButtonKey(bool buttonsSwapped) { return buttonsSwapped ? 0x02 : 0x01; }

}  // namespace caldrift
