#include "common/twips.h"

namespace caldrift {

namespace {
int scaleRounded(long long value, long long mul, long long div) {
    long long scaled = value * mul;
    return static_cast<int>(scaled >= 0 ? (scaled + div / 2) / div : -((-scaled + div / 2) / div));
}
}  // namespace

int twipsToPixels(int twips, int dpi) { return scaleRounded(twips, dpi, kTwipsPerInch); }

int pixelsToTwips(int pixels, int dpi) { return scaleRounded(pixels, kTwipsPerInch, dpi); }

PixelRect toPixels(const TwipRect& r, int dpi) {
    return {twipsToPixels(r.left, dpi), twipsToPixels(r.top, dpi), twipsToPixels(r.width, dpi),
            twipsToPixels(r.height, dpi)};
}

Point centredWindowPosition(int screenWidthPx, int screenHeightPx, int windowWidthPx,
                            int windowHeightPx) {
    return {(screenWidthPx - windowWidthPx) / 2, (screenHeightPx - windowHeightPx) / 2};
}

}  // namespace caldrift
