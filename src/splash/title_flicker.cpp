#include "splash/title_flicker.h"

#include "common/rounding.h"

namespace caldrift {

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
