#pragma once
#include <cstdint>

namespace caldrift {

// The colours the splash title takes, one per tick. The generator always
// starts from the same seed, so every start shows the same sequence.
class TitleFlicker {
public:
    // The next draw r, 0 <= r < 1.
    double nextDraw();
    // The next colour as 0x00BBGGRR: r x 999999, rounded.
    std::uint32_t nextColor();

private:
    // xorshift32 (13, 17, 5) from a fixed seed; a draw is state / 2^32.
    std::uint32_t state_ = 2463534242u;
};

}  // namespace caldrift
