#pragma once

namespace caldrift {

// Every picture of the program is drawn at these scalings, in percent of its
// size at 96 dpi, and stored once per scaling.
constexpr int kDrawnScales[] = {100, 150, 200};
constexpr int kDrawnScaleCount = sizeof(kDrawnScales) / sizeof(kDrawnScales[0]);

struct PixelSize {
    int width, height;
};

// Which drawing (an index into kDrawnScales) a picture shown at `need` pixels
// is made from: the smallest at least that large both ways, so that it only
// ever shrinks; the largest when the need is above them all.
int drawingFor(PixelSize at100, PixelSize need);

// A picture's size in one of its drawings.
PixelSize drawnSize(PixelSize at100, int drawing);

}  // namespace caldrift
