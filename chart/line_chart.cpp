#include "chart/line_chart.h"

#include <algorithm>
#include <cmath>

#include "chart/axis_scale.h"
#include "chart/chart_canvas.h"
#include "chart/value_axis.h"
#include "platform/draw/utf8.h"

namespace tf::chart {
namespace {

constexpr double kFaceShade = 1.2;
constexpr int kRibbonHeight = 5;
constexpr int kMinStepPixels = 20;

}  // namespace

int LineChart::Begin(ChartCanvas& canvas, int type, int x, int y, int width, int height,
                     int values, int lines) {
  if (x < 0 || y < 0 || std::int64_t{x} + width > canvas.width() ||
      std::int64_t{y} + height > canvas.height() || values <= 1 || lines <= 0 || type < kRibbons ||
      type > kStacked || std::int64_t{values} * lines > kMaxValues) {
    return kOutOfRange;
  }
  canvas.area() = {x, y, width, height};
  type_ = type;
  count_ = values;
  lines_ = lines;
  area_flag_ = false;
  values_.assign(static_cast<std::size_t>(values) * lines, 0.0);
  colours_.assign(lines, 0);
  canvas.axis().NewLabels(LabelOwner::kLine, values);
  begun_ = true;
  return kOk;
}

int LineChart::SetValue(double value, int x_index, int line) {
  if (!begun_ || x_index < 0 || x_index >= count_ || line < 0 || line >= lines_) return kOutOfRange;
  Value(x_index, line) = value;
  return kOk;
}

int LineChart::SetColor(Color colour, int line) {
  if (!begun_ || line < 0 || line >= lines_) return kOutOfRange;
  colours_[line] = colour;
  return kOk;
}

int LineChart::SetLabel(ChartCanvas& canvas, std::string_view label, int x_index) {
  if (!begun_) return kOutOfRange;
  return canvas.axis().SetXLabel(label, x_index, canvas.font());
}

namespace {

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

// The view from twelve degrees up and twelve to the side, sheared so that
// vertical lines stay vertical.
Transform3d ViewOfBox(int axis_x, int axis_y, double depth) {
  Transform3d view = Transform3d::Translate(-axis_x, -axis_y, 0)
                         .Then(Transform3d::RotateX(ChartCanvas::kViewAngle))
                         .Then(Transform3d::RotateY(ChartCanvas::kViewAngle));
  Point3d low = view.Apply({double(axis_x), double(axis_y), -depth});
  Point3d high = view.Apply({double(axis_x), axis_y + 100.0, -depth});
  if (low.x != high.x && high.y != low.y) {
    view = view.Then(Transform3d::Shear((low.x - high.x) / (high.y - low.y)));
  }
  return view.Then(Transform3d::Translate(axis_x, axis_y, 0));
}

}  // namespace

// Where everything goes, measured before anything is drawn.
struct LineChart::Geometry {
  ChartArea area;
  AxisLayout layout;
  // The x-label band and how far the outer labels reach beyond the axis ends.
  int label_height = 0;
  std::vector<int> label_width;
  bool staggered = false;
  int label_rows = 1;
  int band = 0;
  double left_reach = 0, right_reach = 0;
  // The box: its corner, a column's width, its depth and its rows'.
  int axis_x = 0, axis_y = 0;
  double column = 0, depth = 0, row_depth = 0, row_gap = 0;
  double x_end = 0, top = 0;
  AxisScale scale;
  int pixels = 0;
  Transform3d view;

  Point At(double x, double y, double z) const { return ChartCanvas::Project(view, x, y, z); }
};

double LineChart::ValueMaximum() {
  double maximum = 0;
  for (int j = 0; j < count_; ++j) {
    double sum = 0;
    for (int i = 0; i < lines_; ++i) {
      double v = Finite(Value(j, i));
      if (type_ == kStacked) sum += v;
      else maximum = std::max(maximum, v);
    }
    if (type_ == kStacked) maximum = std::max(maximum, sum);
  }
  return maximum;
}

void LineChart::MeasureLabelBand(ChartCanvas& canvas, Geometry& g) const {
  const AxisSettings& axis = canvas.axis();
  const double sa = std::sin(ChartCanvas::kViewAngle);
  const int values = count_;
  const FontSpec& label_font = axis.x_label_font;
  g.label_height = canvas.LineHeight(label_font);
  const double available = g.area.width - g.layout.axis_width - 5 - sa * 130;
  const double spacing = (available - 5) / (values - 1);
  g.label_width.assign(values, 0);
  int widest = 0;
  for (int j = 0; j < values; ++j) {
    g.label_width[j] = canvas.TextWidth(axis.x_labels[j], label_font);
    widest = std::max(widest, g.label_width[j]);
  }
  double closest = -1;
  int previous = -1;
  for (int j = 0; j < values; ++j) {
    if (axis.x_labels[j].empty()) continue;
    if (previous >= 0) {
      double distance = (j - previous) * spacing;
      closest = closest < 0 ? distance : std::min(closest, distance);
    }
    previous = j;
    g.left_reach = std::max(g.left_reach, g.label_width[j] / 2.0 + 5 - j * spacing);
    g.right_reach =
        std::max(g.right_reach, g.label_width[j] / 2.0 + 5 - (values - 1 - j) * spacing);
  }
  g.staggered = axis.x_label_style == 1 || (closest >= 0 && closest < widest + 10);
  g.label_rows = g.staggered ? 2 : 1;
  g.band = (g.label_height + 4) * g.label_rows +
           (axis.x_title.empty() ? 0 : canvas.LineHeight(axis.x_title_font) + 4);
}

void LineChart::MeasureBox(ChartCanvas& canvas, Geometry& g, double maximum) const {
  const double sa = std::sin(ChartCanvas::kViewAngle), ca = std::cos(ChartCanvas::kViewAngle);
  const int values = count_;
  const int depth_rows = type_ == kStacked ? 1 : lines_;
  g.axis_x = std::max(WholePixel(g.left_reach), g.layout.axis_width);
  g.axis_y = g.band;
  const double room = g.area.width - g.axis_x - g.right_reach - 5;
  g.column = room / ((values - 1) * ca + sa) - 1;
  g.depth = room * 0.1;
  g.row_gap = 0;
  if (depth_rows > 1) {
    g.row_gap = 10;
    g.depth = depth_rows * 10 + room * 0.1;
  }
  g.depth = std::min(g.depth, 130.0);
  g.row_depth = (g.depth - 10 - (depth_rows - 1) * g.row_gap) / depth_rows;

  const int axis_height = g.area.height - g.band - g.layout.y_title_height - canvas.TitleHeight();
  double scale_maximum = maximum;
  if (type_ == kRibbons && axis_height > 0) scale_maximum += 7.0 / axis_height * maximum;
  g.scale = NiceAxisScale(0, scale_maximum, axis_height, kMinStepPixels, true);
  g.pixels = g.scale.ok ? g.scale.steps * g.scale.pixels_per_step : 0;

  g.view = ViewOfBox(g.axis_x, g.axis_y, g.depth);
  g.x_end = g.axis_x + (values - 1) * g.column;
  g.top = g.axis_y + g.pixels;
}

// The floor, left wall and back wall with their grid and outlines.
void LineChart::DrawBox(ChartCanvas& canvas, const Geometry& g) const {
  const int values = count_, axis_x = g.axis_x, axis_y = g.axis_y;
  const double x_end = g.x_end, top = g.top, depth = g.depth, column = g.column;
  const AxisScale& scale = g.scale;
  auto at = [&](double x, double y, double z) { return g.At(x, y, z); };
  canvas.Shape({at(axis_x, axis_y, 0), at(x_end, axis_y, 0), at(x_end, axis_y, -depth),
                at(axis_x, axis_y, -depth)},
               kWallColour, kWallColour);
  canvas.Shape({at(axis_x, axis_y, 0), at(axis_x, top, 0), at(axis_x, top, -depth),
                at(axis_x, axis_y, -depth)},
               kWallColour, kWallColour);
  canvas.Shape({at(axis_x, axis_y, -depth), at(axis_x, top, -depth), at(x_end, top, -depth),
                at(x_end, axis_y, -depth)},
               kWallColour, kWallColour);
  auto line3d = [&](Point a, Point b, Color colour) { canvas.Line(a.x, a.y, b.x, b.y, colour); };
  for (int j = 1; j < values - 1; ++j) {
    double x = axis_x + j * column;
    line3d(at(x, axis_y, 0), at(x, axis_y, -depth), kGridColour);
  }
  auto wall_line = [&](double y, Color colour) {
    line3d(at(axis_x, y, 0), at(axis_x, y, -depth), colour);
    line3d(at(axis_x, y, -depth), at(x_end, y, -depth), colour);
  };
  if (scale.ok) {
    for (int s = 1; s <= scale.steps; ++s) wall_line(axis_y + s * scale.pixels_per_step, kGridColour);
    const double minor = static_cast<double>(scale.pixels_per_step) / scale.minor_divisions;
    if (minor >= 8) {
      for (int s = 0; s < scale.steps; ++s)
        for (int m = 1; m < scale.minor_divisions; ++m)
          wall_line(axis_y + s * scale.pixels_per_step + WholePixel(m * minor + 0.45),
                    ShadeColor(kWallColour, 0.9));
    }
  }
  for (int j = 0; j < values - 1; ++j) {
    double x = axis_x + j * column;
    line3d(at(x, axis_y, -depth), at(x, top, -depth), kGridColour);
  }
  auto outline = [&](std::vector<Point> corners) { canvas.Outline(std::move(corners), kFrameColour); };
  outline({at(axis_x, axis_y, 0), at(x_end, axis_y, 0), at(x_end, axis_y, -depth),
           at(axis_x, axis_y, -depth)});
  outline({at(axis_x, axis_y, 0), at(axis_x, top, 0), at(axis_x, top, -depth),
           at(axis_x, axis_y, -depth)});
  outline({at(axis_x, axis_y, -depth), at(axis_x, top, -depth), at(x_end, top, -depth),
           at(x_end, axis_y, -depth)});
}

// The lines, from the back row forward; each segment's faces from the top
// down, then the front.
void LineChart::DrawLines(ChartCanvas& canvas, const Geometry& g) {
  const int values = count_, lines = lines_, axis_x = g.axis_x, axis_y = g.axis_y;
  const double x_end = g.x_end, column = g.column;
  auto at = [&](double x, double y, double z) { return g.At(x, y, z); };
  auto h = [&](double v) { return axis_y + Finite(v) * g.scale.pixels_per_unit; };
  auto stack_below = [&](int j, int i) {
    double sum = 0;
    for (int k = i + 1; k < lines; ++k) sum += Finite(Value(j, k));
    return sum;
  };
  for (int i = lines - 1; i >= 0; --i) {
    const double front = type_ == kStacked ? -10 : -(10 + i * (g.row_depth + g.row_gap));
    const double back = front - g.row_depth;
    const Color colour = colours_[i];
    const Color face = ShadeColor(colour, kFaceShade);
    for (int j = 0; j + 1 < values; ++j) {
      const double x0 = std::max(axis_x + j * column, axis_x + 1.0);
      const double x1 = std::min(axis_x + (j + 1) * column, x_end - 1);
      double bottom0, top0, bottom1, top1;
      const double v0 = Finite(Value(j, i)), v1 = Finite(Value(j + 1, i));
      if (type_ == kRibbons) {
        bottom0 = h(v0), top0 = bottom0 + kRibbonHeight;
        bottom1 = h(v1), top1 = bottom1 + kRibbonHeight;
      } else if (type_ == kAreas) {
        bottom0 = bottom1 = axis_y;
        top0 = h(v0), top1 = h(v1);
      } else {
        double below0 = stack_below(j, i), below1 = stack_below(j + 1, i);
        bottom0 = h(below0), top0 = h(below0 + v0);
        bottom1 = h(below1), top1 = h(below1 + v1);
      }
      canvas.Shape({at(x0, top0, front), at(x0, top0, back), at(x1, top1, back), at(x1, top1, front)},
                   face, face);
      canvas.Shape({at(x0, bottom0, front), at(x0, bottom0, back), at(x1, bottom1, back),
                    at(x1, bottom1, front)},
                   face, face);
      canvas.Shape({at(x0, bottom0, front), at(x0, top0, front), at(x1, top1, front),
                    at(x1, bottom1, front)},
                   colour, colour);
      if (j + 2 == values && top1 > axis_y) {
        const double base = std::max<double>(bottom1, axis_y);
        canvas.Shape({at(x1, base, front), at(x1, top1, front), at(x1, top1, back),
                      at(x1, base, back)},
                     colour, colour);
      }
    }
  }
  DrawFloorFront(canvas, g);
  const Point right_front = at(x_end, axis_y, 0), right_back = at(x_end, axis_y, -g.depth);
  canvas.Line(right_front.x, right_front.y, right_back.x, right_back.y, kFrameColour);
}

void LineChart::DrawFloorFront(ChartCanvas& canvas, const Geometry& g) const {
  const Point left = g.At(g.axis_x, g.axis_y, 0), right = g.At(g.x_end, g.axis_y, 0);
  canvas.Line(left.x, left.y, right.x, right.y, kFrameColour);
}

// X-value labels under the floor's front edge, with the x title below.
void LineChart::DrawXLabels(ChartCanvas& canvas, const Geometry& g) const {
  const AxisSettings& axis = canvas.axis();
  const FontSpec& label_font = axis.x_label_font;
  for (int j = 0; j < count_; ++j) {
    if (axis.x_labels[j].empty()) continue;
    Point foot = g.At(g.axis_x + j * g.column, g.axis_y, 0);
    const int drop = 4 + (g.staggered && j % 2 == 1 ? g.label_height + 5 : 0);
    canvas.Line(foot.x, foot.y - 1, foot.x, foot.y - drop, kGridColour);
    canvas.DrawText(axis.x_labels[j], foot.x - g.label_width[j] / 2, foot.y - drop, label_font);
  }
  if (!axis.x_title.empty()) {
    Point middle = g.At((g.axis_x + g.x_end) / 2, g.axis_y, 0);
    int title_width = canvas.TextWidth(axis.x_title, axis.x_title_font);
    canvas.DrawText(axis.x_title, middle.x - title_width / 2,
                    middle.y - 4 - (g.label_height + 4) * g.label_rows, axis.x_title_font);
  }
  DrawFloorFront(canvas, g);
}

void LineChart::DrawTitle(ChartCanvas& canvas, const Geometry& g) const {
  const std::string& title = canvas.title();
  if (title.empty()) return;
  const FontSpec& font = canvas.title_font();
  const int title_width = canvas.TextWidth(title, font);
  Point over = g.At((g.axis_x + g.x_end) / 2, canvas.LineHeight(font) + g.pixels + g.band + 5,
                    -g.depth);
  if (title_width < 0.66 * (g.x_end - g.axis_x)) {
    canvas.DrawText(title, over.x - title_width / 2, over.y, font);
  } else {
    canvas.DrawText(title, (g.area.width - title_width) / 2, over.y + g.layout.y_title_height,
                    font);
  }
}

int LineChart::Finish(ChartCanvas& canvas) {
  AxisSettings& axis = canvas.axis();
  if (!begun_ || axis.label_owner != LabelOwner::kLine) return kNotBegun;
  Geometry g;
  g.area = canvas.area();
  canvas.set_origin({g.area.x, g.area.y});
  if (type_ != kRibbons) area_flag_ = true;

  const double maximum = ValueMaximum();
  g.layout = MeasureValueAxis(canvas, maximum);
  MeasureLabelBand(canvas, g);
  MeasureBox(canvas, g, maximum);

  DrawBox(canvas, g);
  DrawLines(canvas, g);
  DrawXLabels(canvas, g);
  DrawValueAxis(canvas, g.layout, g.scale, g.axis_x, g.axis_y,
                [&](int x, int y) { return g.At(x, y, 0); });
  DrawTitle(canvas, g);

  values_.clear();
  colours_.clear();
  axis.DropLabels();
  begun_ = false;
  return kOk;
}

}  // namespace tf::chart
