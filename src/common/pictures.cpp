#include "common/pictures.h"

namespace caldrift {

PixelSize drawnSize(PixelSize at100, int drawing) {
    int scale = kDrawnScales[drawing];
    return {at100.width * scale / 100, at100.height * scale / 100};
}

int drawingFor(PixelSize at100, PixelSize need) {
    for (int drawing = 0; drawing < kDrawnScaleCount; ++drawing) {
        PixelSize drawn = drawnSize(at100, drawing);
        if (drawn.width >= need.width && drawn.height >= need.height) return drawing;
    }
    return kDrawnScaleCount - 1;
}

}  // namespace caldrift
