#include "platform/draw/device_context.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "platform/draw/line_raster.h"
#include "platform/draw/utf8.h"

namespace tf::draw {
namespace {

// Coordinates handed to the vector renderer are kept well inside its fixed
// point range; nothing this far out is visible anyway.
constexpr double kFar = 1 << 20;

double ClampFar(double v) { return std::clamp(v, -kFar, kFar); }

// Run lengths of the thin styled pens: on, off, on, off, ...
std::span<const int> DashesOf(int style) {
  static constexpr std::array<int, 2> dash = {18, 6};
  static constexpr std::array<int, 2> dot = {3, 3};
  static constexpr std::array<int, 4> dash_dot = {9, 6, 3, 6};
  static constexpr std::array<int, 6> dash_dot_dot = {9, 3, 3, 3, 3, 3};
  switch (style) {
    case kPenDash: return dash;
    case kPenDot: return dot;
    case kPenDashDot: return dash_dot;
    case kPenDashDotDot: return dash_dot_dot;
    default: return {};
  }
}

// One 8 x 8 tile of a hatch brush: true where the hatch line runs.
bool HatchBit(int style, int x, int y) {
  switch (style) {
    case kHatchHorizontal: return y == 3;
    case kHatchVertical: return x == 3;
    case kHatchForwardDiagonal: return x == y;
    case kHatchBackwardDiagonal: return x + y == 7;
    case kHatchCross: return x == 3 || y == 3;
    case kHatchDiagonalCross: return x == y || x + y == 7;
    default: return true;
  }
}

std::uint32_t ToPixel(Color c) {
  return (static_cast<std::uint32_t>(RedOf(c)) << 16) | (GreenOf(c) << 8) | BlueOf(c);
}

Color FromPixel(std::uint32_t p) { return Rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

}  // namespace

DeviceContext::DeviceContext(int width, int height) : width_(width), height_(height) {
  if (width <= 0 || height <= 0) return;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return;
  }
  surface_ = surface;
  cr_ = cairo_create(surface_);
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  Fill(kBlack);
}

DeviceContext::~DeviceContext() {
  if (cr_) cairo_destroy(cr_);
  if (surface_) cairo_surface_destroy(surface_);
}

Pen DeviceContext::SelectPen(const Pen& pen) {
  Pen previous = pen_;
  pen_ = pen;
  return previous;
}

Brush DeviceContext::SelectBrush(const Brush& brush) {
  Brush previous = brush_;
  brush_ = brush;
  return previous;
}

FontPtr DeviceContext::SelectFont(FontPtr font) {
  std::swap(font, font_);
  return font;
}

Color DeviceContext::SetTextColor(Color color) {
  std::swap(color, text_color_);
  return color;
}

Color DeviceContext::SetBkColor(Color color) {
  std::swap(color, bk_color_);
  return color;
}

DeviceContext::DevicePoint DeviceContext::ToDevice(int x, int y) const {
  double dy = bottom_up_ ? static_cast<double>(height_) - y : static_cast<double>(y);
  return {static_cast<double>(x), dy};
}

void DeviceContext::SetSource(Color color) {
  cairo_set_source_rgb(cr_, RedOf(color) / 255.0, GreenOf(color) / 255.0, BlueOf(color) / 255.0);
}

void DeviceContext::Fill(Color color) {
  if (!ok()) return;
  SetSource(color);
  cairo_paint(cr_);
}

bool DeviceContext::ThinPen() const { return pen_.width <= 1; }

// Steps a one-pixel line straight into the picture's memory; dash gaps take
// the text background colour, as with an opaque background.
void DeviceContext::ThinLine(DevicePoint from, DevicePoint to) {
  cairo_surface_flush(surface_);
  unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  const std::uint32_t on = ToPixel(pen_.color), off = ToPixel(bk_color_);
  RasterizeLine(std::llround(from.x), std::llround(from.y), std::llround(to.x),
                std::llround(to.y), width_, height_, DashesOf(pen_.style),
                [&](int x, int y, bool dash_on) {
                  reinterpret_cast<std::uint32_t*>(data + y * stride)[x] = dash_on ? on : off;
                });
  cairo_surface_mark_dirty(surface_);
}

void DeviceContext::MoveTo(int x, int y) { position_ = {x, y}; }

void DeviceContext::LineTo(int x, int y) {
  Point from = position_;
  position_ = {x, y};
  if (!ok() || pen_.style == kPenNull) return;
  DevicePoint a = ToDevice(from.x, from.y), b = ToDevice(x, y);
  if (ThinPen()) {
    ThinLine(a, b);
    return;
  }
  const double margin = pen_.width + 2.0;
  if (!ClipSegment(a.x, a.y, b.x, b.y, -margin, -margin, width_ + margin, height_ + margin)) return;
  cairo_save(cr_);
  SetSource(pen_.color);
  cairo_set_line_width(cr_, std::min(pen_.width, width_ + height_));
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr_, a.x + 0.5, a.y + 0.5);
  cairo_line_to(cr_, b.x + 0.5, b.y + 0.5);
  cairo_stroke(cr_);
  cairo_restore(cr_);
}

// Fills the current path with the brush. The path runs through pixel
// centres, so a pixel is filled when its centre lies inside the shape that
// the vertex pixels span.
void DeviceContext::FillPath(const Brush& brush) {
  cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
  if (brush.hatch == kSolidBrush || brush.hatch < 0 || brush.hatch > kHatchDiagonalCross) {
    SetSource(brush.color);
    cairo_fill(cr_);
    return;
  }
  cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 8, 8);
  cairo_surface_flush(tile);
  unsigned char* data = cairo_image_surface_get_data(tile);
  const int stride = cairo_image_surface_get_stride(tile);
  for (int y = 0; y < 8; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
    for (int x = 0; x < 8; ++x) {
      row[x] = ToPixel(HatchBit(brush.hatch, x, y) ? brush.color : bk_color_);
    }
  }
  cairo_surface_mark_dirty(tile);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
  cairo_set_source(cr_, pattern);
  cairo_fill(cr_);
  cairo_pattern_destroy(pattern);
  cairo_surface_destroy(tile);
}

void DeviceContext::TracePolygon(std::span<const DevicePoint> points) {
  cairo_new_path(cr_);
  for (const DevicePoint& p : points) {
    cairo_line_to(cr_, ClampFar(p.x) + 0.5, ClampFar(p.y) + 0.5);
  }
  cairo_close_path(cr_);
}

void DeviceContext::OutlinePolygon(std::span<const DevicePoint> points) {
  if (pen_.style == kPenNull || points.empty()) return;
  if (ThinPen()) {
    for (std::size_t i = 0; i < points.size(); ++i) {
      ThinLine(points[i], points[(i + 1) % points.size()]);
    }
    if (points.size() == 1) ThinLine(points[0], {points[0].x + 1, points[0].y});
    return;
  }
  cairo_save(cr_);
  TracePolygon(points);
  SetSource(pen_.color);
  cairo_set_line_width(cr_, pen_.width);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr_);
  cairo_restore(cr_);
}

void DeviceContext::Polygon(std::span<const Point> points) {
  if (!ok() || points.empty()) return;
  std::vector<DevicePoint> device;
  device.reserve(points.size());
  for (const Point& p : points) device.push_back(ToDevice(p.x, p.y));
  cairo_save(cr_);
  TracePolygon(device);
  FillPath(brush_);
  cairo_restore(cr_);
  OutlinePolygon(device);
}

void DeviceContext::Rectangle(int left, int top, int right, int bottom) {
  if (!ok()) return;
  DevicePoint a = ToDevice(left, top), b = ToDevice(right, bottom);
  double x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x);
  double y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
  if (x1 - x0 < 1 || y1 - y0 < 1) return;
  // The outline runs on the first and the last pixel of each side.
  const DevicePoint corners[4] = {{x0, y0}, {x1 - 1, y0}, {x1 - 1, y1 - 1}, {x0, y1 - 1}};
  cairo_save(cr_);
  cairo_new_path(cr_);
  cairo_rectangle(cr_, ClampFar(x0) + 0.5, ClampFar(y0) + 0.5, ClampFar(x1) - ClampFar(x0) - 1,
                  ClampFar(y1) - ClampFar(y0) - 1);
  FillPath(brush_);
  cairo_restore(cr_);
  OutlinePolygon(corners);
}

void DeviceContext::RoundRect(int left, int top, int right, int bottom, int corner_width,
                              int corner_height) {
  if (!ok()) return;
  DevicePoint a = ToDevice(left, top), b = ToDevice(right, bottom);
  double x0 = ClampFar(std::min(a.x, b.x)) + 0.5, x1 = ClampFar(std::max(a.x, b.x)) - 0.5;
  double y0 = ClampFar(std::min(a.y, b.y)) + 0.5, y1 = ClampFar(std::max(a.y, b.y)) - 0.5;
  if (x1 <= x0 || y1 <= y0) return;
  double rx = std::min(std::abs(corner_width) / 2.0, (x1 - x0) / 2);
  double ry = std::min(std::abs(corner_height) / 2.0, (y1 - y0) / 2);
  cairo_save(cr_);
  cairo_new_path(cr_);
  const double half_pi = std::numbers::pi / 2;
  const struct {
    double cx, cy, from;
  } corners[4] = {{x1 - rx, y0 + ry, -half_pi},
                  {x1 - rx, y1 - ry, 0},
                  {x0 + rx, y1 - ry, half_pi},
                  {x0 + rx, y0 + ry, std::numbers::pi}};
  for (const auto& c : corners) {
    if (rx > 0 && ry > 0) {
      cairo_save(cr_);
      cairo_translate(cr_, c.cx, c.cy);
      cairo_scale(cr_, rx, ry);
      cairo_arc(cr_, 0, 0, 1, c.from, c.from + half_pi);
      cairo_restore(cr_);
    } else {
      cairo_line_to(cr_, c.cx, c.cy);
    }
  }
  cairo_close_path(cr_);
  cairo_path_t* path = cairo_copy_path(cr_);
  FillPath(brush_);
  if (pen_.style != kPenNull) {
    cairo_append_path(cr_, path);
    SetSource(pen_.color);
    cairo_set_line_width(cr_, std::max(1, pen_.width));
    cairo_stroke(cr_);
  }
  cairo_path_destroy(path);
  cairo_restore(cr_);
}

void DeviceContext::TextOut(int x, int y, std::string_view text) {
  if (!ok() || text.empty()) return;
  if (!font_) font_ = Font::Create(FontRequest{});
  std::string line = Utf8Sanitize(text);
  Size extent = TextExtent(line);
  DevicePoint at = ToDevice(x, y);
  cairo_save(cr_);
  cairo_translate(cr_, ClampFar(at.x), ClampFar(at.y));
  cairo_rotate(cr_, -font_->angle_radians());
  cairo_rectangle(cr_, 0, 0, extent.width, extent.height);
  SetSource(bk_color_);
  cairo_fill(cr_);
  cairo_set_scaled_font(cr_, font_->scaled());
  SetSource(text_color_);
  cairo_move_to(cr_, 0, font_->ascent());
  cairo_show_text(cr_, line.c_str());
  cairo_restore(cr_);
}

Size DeviceContext::TextExtent(std::string_view text) const {
  const FontPtr font = font_ ? font_ : Font::Create(FontRequest{});
  return {font->TextWidth(text), font->cell_height()};
}

Color DeviceContext::GetPixel(int x, int y) const {
  if (!ok()) return kInvalidColor;
  DevicePoint p = ToDevice(x, y);
  if (p.x < 0 || p.x >= width_ || p.y < 0 || p.y >= height_) return kInvalidColor;
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  auto row = reinterpret_cast<const std::uint32_t*>(data + static_cast<int>(p.y) * stride);
  return FromPixel(row[static_cast<int>(p.x)]);
}

void DeviceContext::ReadScanLine(int line, std::uint8_t* out) const {
  const int length = PaddedRowLength(width_);
  std::fill(out, out + length, 0);
  if (!ok() || line < 0 || line >= height_) return;
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  auto row = reinterpret_cast<const std::uint32_t*>(data + (height_ - 1 - line) * stride);
  for (int x = 0; x < width_; ++x) {
    out[3 * x] = row[x] & 0xFF;
    out[3 * x + 1] = (row[x] >> 8) & 0xFF;
    out[3 * x + 2] = (row[x] >> 16) & 0xFF;
  }
}

}  // namespace tf::draw
