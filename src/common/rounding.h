#pragma once
#include <limits>
#include <optional>

namespace caldrift {

// Rounds to the nearest whole number, halves to the even neighbour, whatever
// the processor's rounding mode.
double roundHalfToEven(double value);

// The value rounded half to even, when that lies within Int's range.
template <typename Int>
std::optional<Int> roundedInRange(double value) {
    double rounded = roundHalfToEven(value);
    if (!(rounded >= std::numeric_limits<Int>::min() && rounded <= std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(rounded);
}

}  // namespace caldrift
