// The value axis of the bar and line charts: its width and title height,
// and its numbers and title drawn beside the axis line.
#pragma once

#include <functional>

#include "chart/axis_scale.h"
#include "chart/font_spec.h"
#include "platform/draw/device_context.h"

namespace tf::chart {

class ChartCanvas;

struct AxisLayout {
  FontSpec value_font;  // the numbers' font after the fallback
  int axis_width = 0;   // room left of the axis line
  int y_title_height = 0;
};

AxisLayout MeasureValueAxis(ChartCanvas& canvas, double maximum);

// Draws the numbers of the scale and the y title. to_picture maps a point
// of the axis plane (axis x, height) to drawing coordinates.
void DrawValueAxis(ChartCanvas& canvas, const AxisLayout& layout, const AxisScale& scale,
                   int axis_x, int axis_y,
                   const std::function<draw::Point(int, int)>& to_picture);

// The largest stacked or single value, never below 0.
inline double NonNegative(double v) { return v > 0 ? v : 0; }

}  // namespace tf::chart
