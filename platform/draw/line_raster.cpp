#include "platform/draw/line_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tf::draw {
namespace {

// Beyond this distance from the picture a line is clipped first.
constexpr std::int64_t kNear = 1 << 16;

bool Near(std::int64_t v, int size) { return v >= -kNear && v <= size + kNear; }

}  // namespace

// Liang-Barsky.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double lo_x, double lo_y,
                 double hi_x, double hi_y) {
  double t0 = 0, t1 = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - lo_x, hi_x - x0, y0 - lo_y, hi_y - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  double nx0 = x0 + t0 * dx, ny0 = y0 + t0 * dy;
  x1 = x0 + t1 * dx;
  y1 = y0 + t1 * dy;
  x0 = nx0;
  y0 = ny0;
  return true;
}

void RasterizeLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                   int width, int height, std::span<const int> dashes,
                   const std::function<void(int, int, bool)>& plot) {
  bool include_end = false;
  if (!(Near(x0, width) && Near(y0, height) && Near(x1, width) && Near(y1, height))) {
    double fx0 = x0, fy0 = y0, fx1 = x1, fy1 = y1;
    if (!ClipSegment(fx0, fy0, fx1, fy1, -2, -2, width + 2.0, height + 2.0)) return;
    x0 = std::llround(fx0);
    y0 = std::llround(fy0);
    // The real end lies beyond the box, so the clipped end is drawn.
    include_end = x1 != std::llround(fx1) || y1 != std::llround(fy1);
    x1 = std::llround(fx1);
    y1 = std::llround(fy1);
  }
  const std::int64_t dx = std::llabs(x1 - x0), dy = std::llabs(y1 - y0);
  const int sx = x1 > x0 ? 1 : -1, sy = y1 > y0 ? 1 : -1;
  std::int64_t steps = std::max(dx, dy) + (include_end ? 1 : 0);

  int dash_index = 0, dash_left = dashes.empty() ? 0 : dashes[0];
  std::int64_t x = x0, y = y0, error = dx - dy;
  for (std::int64_t i = 0; i < steps; ++i) {
    bool on = true;
    if (!dashes.empty()) {
      while (dash_left == 0) {
        dash_index = (dash_index + 1) % static_cast<int>(dashes.size());
        dash_left = dashes[dash_index];
      }
      on = dash_index % 2 == 0;
      --dash_left;
    }
    if (x >= 0 && x < width && y >= 0 && y < height) plot(static_cast<int>(x), static_cast<int>(y), on);
    std::int64_t twice = 2 * error;
    if (twice > -dy) {
      error -= dy;
      x += sx;
    }
    if (twice < dx) {
      error += dx;
      y += sy;
    }
  }
}

}  // namespace tf::draw
