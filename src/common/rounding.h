#pragma once

namespace caldrift {

// Rounds to the nearest whole number, halves to the even neighbour, whatever
// the processor's rounding mode.
double roundHalfToEven(double value);

}  // namespace caldrift
