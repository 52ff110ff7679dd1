#include "chart/axis_scale.h"

#include <charconv>
#include <cmath>

namespace tf::chart {

AxisScale NiceAxisScale(double minimum, double maximum, int pixel_height,
                        int min_pixels_per_step, bool whole_steps) {
  AxisScale scale;
  if (!(maximum > minimum)) maximum = minimum + 1;
  if (min_pixels_per_step <= 0 || !std::isfinite(minimum) || !std::isfinite(maximum)) return scale;
  double fit = std::floor(static_cast<double>(pixel_height) / min_pixels_per_step + 0.00001);
  if (fit <= 0.001) return scale;

  double unit = std::pow(10.0, std::floor(std::log10((maximum - minimum) / fit)));
  if (whole_steps && unit < 1) unit = 1;
  const double tolerance = unit * 0.01;
  static constexpr int kMultipliers[] = {1, 2, 5, 10, 20, 50, 100, 200, 500};
  static constexpr int kMinors[] = {5, 2, 5, 5, 2, 5, 5, 2, 5};
  int chosen = -1;
  for (int i = 0; i < 9; ++i) {
    double step = unit * kMultipliers[i];
    double axis_minimum = step * std::floor(minimum / step);
    if (axis_minimum + step * fit >= maximum - tolerance) {
      chosen = i;
      scale.step = step;
      scale.minimum = axis_minimum;
      break;
    }
  }
  if (chosen < 0) return scale;
  scale.minor_divisions = kMinors[chosen];
  // The loop above guarantees that fit steps reach the maximum.
  int steps = 1;
  while (maximum > scale.minimum + scale.step * steps + tolerance) ++steps;
  scale.steps = steps;
  scale.pixels_per_step = pixel_height / steps;
  scale.pixels_per_unit = scale.pixels_per_step / scale.step;
  scale.maximum = scale.minimum + scale.step * steps;
  scale.ok = true;
  return scale;
}

std::string FormatAxisNumber(double value) {
  char buffer[400];
  // Fixed notation without the locale, so "." stays the decimal point.
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  if (result.ec != std::errc()) return "0";
  std::string text(buffer, result.ptr);
  std::size_t point = text.find('.');
  if (point != std::string::npos) {
    std::size_t end = text.find_last_not_of('0');
    text.erase(end == point ? point : end + 1);
  }
  const std::size_t digits_begin = (!text.empty() && text[0] == '-') ? 1 : 0;
  std::size_t whole_end = text.find('.');
  if (whole_end == std::string::npos) whole_end = text.size();
  std::string grouped = text.substr(0, digits_begin);
  for (std::size_t i = digits_begin; i < whole_end; ++i) {
    if (i > digits_begin && (whole_end - i) % 3 == 0) grouped += ',';
    grouped += text[i];
  }
  grouped += text.substr(whole_end);
  return grouped;
}

}  // namespace tf::chart
