#pragma once
#include <cstdint>

namespace caldrift {

// Colours as the system takes them: 0x00BBGGRR.
constexpr std::uint32_t kRed = 0x000000FF;
constexpr std::uint32_t kGreen = 0x0000FF00;
constexpr std::uint32_t kBlack = 0x00000000;
constexpr std::uint32_t kLightYellow = 0x00C0FFFF;

}  // namespace caldrift
