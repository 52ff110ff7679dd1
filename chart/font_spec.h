// A font description as the chart keeps it: every text remembers the font
// that was current when it was set.
#pragma once

#include <string>

#include "platform/draw/color.h"

namespace tf::chart {

using draw::Color;

constexpr const char* kDefaultFace = "MS Sans Serif";
constexpr std::size_t kMaxFaceLength = 49;

struct FontSpec {
  std::string face = kDefaultFace;  // empty: the default face
  int height = 10;                  // character cell height in pixels
  bool bold = false;
  bool italic = false;
  Color colour = 0;
  int escapement = 0;  // tenths of a degree, counter-clockwise
};

}  // namespace tf::chart
