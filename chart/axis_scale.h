// The value axis shared by the bar and line charts: a rounded scale that
// fits a pixel height, and the text of its numbers.
#pragma once

#include <string>

namespace tf::chart {

struct AxisScale {
  bool ok = false;  // false: the height fits no step; draw no axis
  double minimum = 0;
  double maximum = 0;
  double step = 0;
  int steps = 0;
  int pixels_per_step = 0;
  double pixels_per_unit = 0;
  int minor_divisions = 0;
};

AxisScale NiceAxisScale(double minimum, double maximum, int pixel_height,
                        int min_pixels_per_step, bool whole_steps);

// Six decimals with trailing zeros dropped and "," between groups of three
// digits of the whole part: 1234.25 gives "1,234.25".
std::string FormatAxisNumber(double value);

}  // namespace tf::chart
