// Colours as the chart interface passes them: red in the low byte, then
// green, then blue; the fourth byte is ignored.
#pragma once

#include <cstdint>

namespace tf::draw {

using Color = std::uint32_t;

constexpr Color Rgb(int red, int green, int blue) {
  return static_cast<Color>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(Color c) { return c & 0xFF; }
constexpr int GreenOf(Color c) { return (c >> 8) & 0xFF; }
constexpr int BlueOf(Color c) { return (c >> 16) & 0xFF; }

constexpr Color kBlack = 0x000000;
constexpr Color kWhite = 0xFFFFFF;

}  // namespace tf::draw
