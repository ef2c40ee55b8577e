#include "common/rounding.h"

#include <cmath>

namespace caldrift {

double roundHalfToEven(double value) {
    double below = std::floor(value);
    double fraction = value - below;
    if (fraction > 0.5) return below + 1;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

}  // namespace caldrift
