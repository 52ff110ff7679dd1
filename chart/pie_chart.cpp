#include "chart/pie_chart.h"

#include <algorithm>
#include <cmath>

#include "chart/chart_canvas.h"
#include "platform/draw/utf8.h"

namespace tf::chart {
namespace {

constexpr double kPi = 3.141592654;
constexpr double kTwoPi = 6.283185307;
constexpr double kTilt = 1.0;  // radians
constexpr double kSideShade = 0.8;
constexpr Color kLeaderColour = 0x141414;
// The rim is drawn for the front half only, a hair wider so that neighbours meet.
constexpr double kRimFrom = 1.5747331598997494;
constexpr double kRimTo = 4.743804906785;

}  // namespace

int PieChart::Begin(ChartCanvas& canvas, int x, int y, int width, int height, int slices) {
  thickness_factor_ = kDefaultThickness;
  label_font_ = FontSpec();
  if (x < 0 || y < 0 || std::int64_t{x} + width / 2 > canvas.width() ||
      std::int64_t{y} + height / 2 > canvas.height() || slices <= 0 || slices > kMaxSlices) {
    return kOutOfRange;
  }
  canvas.area() = {x, y, width, height};
  slices_.assign(slices, Slice());
  begun_ = true;
  return kOk;
}

int PieChart::SetThickness(double factor) {
  if (factor < 0 || !std::isfinite(factor)) return kOutOfRange;
  thickness_factor_ = factor;
  return kOk;
}

PieChart::Slice* PieChart::Find(int index) {
  if (index < 0 || index >= static_cast<int>(slices_.size())) return nullptr;
  return &slices_[index];
}

int PieChart::SetValue(double value, int index) {
  if (!begun_) return kNotBegun;
  Slice* slice = Find(index);
  // A value that is not a finite number would spoil every angle.
  if (!slice || !(value >= 0) || !std::isfinite(value)) return kOutOfRange;
  slice->value = value;
  return kOk;
}

int PieChart::SetColor(Color colour, int index) {
  if (!begun_) return kNotBegun;
  Slice* slice = Find(index);
  if (!slice) return kOutOfRange;
  slice->colour = colour;
  return kOk;
}

int PieChart::SetPosition(double pull_out, double thickness, double lift, int index) {
  if (!begun_) return kNotBegun;
  Slice* slice = Find(index);
  if (!slice || !std::isfinite(pull_out) || !std::isfinite(thickness) || !std::isfinite(lift)) {
    return kOutOfRange;
  }
  slice->pull_out = pull_out;
  slice->thickness = thickness;
  slice->lift = lift;
  return kOk;
}

int PieChart::SetLabel(ChartCanvas& canvas, std::string_view label, int index) {
  if (!begun_) return kNotBegun;
  Slice* slice = Find(index);
  if (!slice) return kOutOfRange;
  slice->label = std::string(draw::Utf8CutChars(label, kMaxLabel));
  label_font_ = canvas.font();
  return kOk;
}

PieChart::Margins PieChart::MarginsFor(ChartCanvas& canvas, double radius) const {
  Margins margins;
  if (!canvas.title().empty()) margins.top += canvas.LineHeight(canvas.title_font()) + 15;
  double right = radius, left = radius, up = radius, down = radius;
  const double h = canvas.LineHeight(label_font_);
  for (const Slice& slice : slices_) {
    if (slice.label.empty()) continue;
    const double m = slice.start + slice.sweep / 2;
    const double w = canvas.TextWidth(slice.label, label_font_);
    const double reach = radius + (h + radius * thickness_factor_ * slice.thickness) * 0.8 + 5;
    if (m <= kPi) right = std::max(right, std::sin(m) * reach + w + 5);
    else left = std::max(left, w + 5 - std::sin(m) * reach);
    if (m < 1.570796327 || m > 4.71238898025) up = std::max(up, reach * std::cos(m) + h / 2 + 3);
    else down = std::max(down, h / 2 + 3 - reach * std::cos(m));
  }
  margins.right += right - radius;
  margins.left += left - radius;
  margins.top += up - radius;
  margins.bottom += down - radius;
  return margins;
}

void PieChart::DrawSlice(ChartCanvas& canvas, const Slice& slice, const Transform3d& view,
                         double cx, double cy, double radius) const {
  const double m = slice.start + slice.sweep / 2;
  const double ox = cx + slice.pull_out * std::sin(m), oy = cy + slice.pull_out * std::cos(m);
  const double base = slice.lift, top = slice.lift + slice.thickness;
  auto rim = [&](double angle, double height, double r) {
    return ChartCanvas::Project(view, ox + r * std::sin(angle), oy + r * std::cos(angle), height);
  };
  auto centre = [&](double height) { return ChartCanvas::Project(view, ox, oy, height); };
  const Color side = ShadeColor(slice.colour, kSideShade);

  for (double angle : {slice.start, slice.start + slice.sweep}) {
    canvas.Shape({rim(angle, base, radius), centre(base), centre(top), rim(angle, top, radius)},
                 side, side);
  }

  const double from = std::max(slice.start - 0.005, kRimFrom);
  const double to = std::min(slice.start + slice.sweep + 0.005, kRimTo);
  if (to > from) {
    const int steps = std::clamp(WholePixel((to - from) * radius), 1, 996);
    std::vector<Point> outline;
    for (int j = steps; j >= 0; --j) outline.push_back(rim(from + j * (to - from) / steps, top, radius));
    for (int j = 0; j <= steps; ++j) outline.push_back(rim(from + j * (to - from) / steps, base, radius));
    canvas.Shape(std::move(outline), side, side);
  }

  if (!slice.label.empty()) {
    const int h = canvas.LineHeight(label_font_);
    const int w = canvas.TextWidth(slice.label, label_font_);
    const double middle = base + (top - base) / 2;
    const double outer =
        radius + std::abs(std::cos(m)) * ((h + slice.thickness) * 0.8 + 5) + 5;
    Point from_point = rim(m, middle, radius + 4);
    Point bend = rim(m, middle, outer);
    const bool left_side = m > kPi;
    Point end{bend.x + (left_side ? -10 : 10), bend.y};
    canvas.Line(from_point.x, from_point.y, bend.x, bend.y, kLeaderColour);
    canvas.Line(bend.x, bend.y, end.x, end.y, kLeaderColour);
    // The label keeps a 4-pixel gap from the end of its line on either side.
    const int x = left_side ? end.x - w - 4 : end.x + 4;
    canvas.DrawText(slice.label, x, end.y + WholePixel(0.8 * h), label_font_);
  }

  const int steps = std::clamp(WholePixel(radius * slice.sweep), 1, 2000);
  std::vector<Point> face{centre(top)};
  for (int j = 0; j <= steps; ++j) {
    face.push_back(rim(slice.start + 0.002 + j * (slice.sweep + 0.004) / steps, top, radius));
  }
  canvas.Shape(std::move(face), slice.colour, slice.colour);
}

int PieChart::Finish(ChartCanvas& canvas) {
  if (!begun_ || slices_.empty()) return kNotBegun;
  double total = 0;
  for (const Slice& slice : slices_) total += slice.value;
  if (!(total > 0) || !std::isfinite(total)) return kNotBegun;

  const double s = std::sin(kTilt), c = std::cos(kTilt);
  double start = 0, tallest = 0, largest_pull = 0;
  for (Slice& slice : slices_) {
    slice.start = start;
    slice.sweep = slice.value / total * kTwoPi;
    start += slice.sweep;
    tallest = std::max(tallest, slice.thickness + slice.lift);
    largest_pull = std::max(largest_pull, slice.pull_out);
  }

  const ChartArea area = canvas.area();
  const bool has_title = !canvas.title().empty();
  double estimate = area.height - (has_title ? canvas.LineHeight(canvas.title_font()) + 5 : 0);
  estimate -= estimate * tallest * thickness_factor_ * s * 0.25;
  estimate = std::min<double>(estimate, area.width);
  const Margins margins = MarginsFor(canvas, estimate / 2);
  const double available_width = area.width - margins.left - margins.right;
  const double available_height = area.height - margins.top - margins.bottom;

  const double k = tallest * thickness_factor_ * s + c;
  double room = available_height, radius = 0, extent = 0;
  while (room > 0) {
    radius = std::min(available_width, room / c) / 2;
    extent = radius * k + c * radius;
    if (extent <= available_height) break;
    room -= 2;
  }
  if (!(room > 0)) radius = 0;

  const double cx = area.x + available_width / 2 + margins.left;
  const double cy = c * radius + (available_height - extent) / 2 + area.y + margins.bottom;
  radius /= 1 + largest_pull;
  for (Slice& slice : slices_) {
    slice.pull_out *= radius;
    slice.lift *= radius * thickness_factor_;
    slice.thickness *= radius * thickness_factor_;
  }
  const Transform3d view = Transform3d::Translate(-cx, -cy, 0)
                               .Then(Transform3d::RotateX(-kTilt))
                               .Then(Transform3d::Translate(cx, cy, 0));

  // The pie is placed in picture coordinates, whatever chart came before.
  const Point saved_origin = canvas.origin();
  canvas.set_origin({0, 0});
  if (radius > 0) {
    // Back to front: the right half from the back clockwise, then the left
    // half from the back counter-clockwise; a slice across the front is
    // drawn in both passes.
    for (const Slice& slice : slices_) {
      if (slice.start > kPi) break;
      DrawSlice(canvas, slice, view, cx, cy, radius);
    }
    for (auto it = slices_.rbegin(); it != slices_.rend(); ++it) {
      if (it->start + it->sweep < kPi) break;
      DrawSlice(canvas, *it, view, cx, cy, radius);
    }
  }
  if (has_title) {
    const FontSpec& font = canvas.title_font();
    canvas.DrawText(canvas.title(), WholePixel(cx) - canvas.TextWidth(canvas.title(), font) / 2,
                    area.y + area.height, font);
  }
  canvas.set_origin(saved_origin);

  last_angles_.clear();
  for (const Slice& slice : slices_) last_angles_.push_back({slice.start, slice.sweep});
  last_radius_ = radius;
  slices_.clear();
  begun_ = false;
  return kOk;
}

}  // namespace tf::chart
