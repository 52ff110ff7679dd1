// One-pixel lines stepped pixel by pixel, as the picture code expects of a
// thin pen: every pixel from the start up to but not including the end.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

namespace tf::draw {

// Clips the segment to the box [lo_x, hi_x] x [lo_y, hi_y]; false when
// nothing of it lies inside.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double lo_x, double lo_y,
                 double hi_x, double hi_y);

// Calls plot(x, y, dash_on) for each pixel of the line from (x0, y0) to
// (x1, y1) in device coordinates that lies in [0, width) x [0, height),
// leaving out the end pixel. dashes are alternating on and off run lengths
// in pixels (empty = solid). Lines far outside the picture are clipped before
// stepping, so the work is bounded by the picture size.
void RasterizeLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                   int width, int height, std::span<const int> dashes,
                   const std::function<void(int, int, bool)>& plot);

}  // namespace tf::draw
