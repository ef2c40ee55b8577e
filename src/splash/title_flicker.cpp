#include "splash/title_flicker.h"

#include <cmath>

namespace caldrift {

std::int64_t roundHalfToEven(double value) {
    double below = std::floor(value);
    double fraction = value - below;
    auto whole = static_cast<std::int64_t>(below);
    if (fraction > 0.5) return whole + 1;
    if (fraction < 0.5) return whole;
    return whole % 2 == 0 ? whole : whole + 1;
}

double TitleFlicker::nextDraw() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ / 4294967296.0;
}

std::uint32_t TitleFlicker::nextColor() {
    return static_cast<std::uint32_t>(roundHalfToEven(nextDraw() * 999999));
}

}  // namespace caldrift
