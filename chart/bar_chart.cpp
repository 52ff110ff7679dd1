#include "chart/bar_chart.h"

#include <algorithm>
#include <cmath>

#include "chart/axis_scale.h"
#include "chart/chart_canvas.h"
#include "chart/value_axis.h"
#include "platform/draw/utf8.h"

namespace tf::chart {
namespace {

constexpr double kSideShade = 0.7;
constexpr double kTopShade = 1.15;
constexpr double kEdgeShade = 0.88;
constexpr int kMinStepPixels = 20;
constexpr int kLabelGap = 4;

}  // namespace

int BarChart::Begin(ChartCanvas& canvas, int x, int y, int width, int height, int columns,
                    int rows, int bars, int layers) {
  if (x < 0 || y < 0 || std::int64_t{x} + width > canvas.width() ||
      std::int64_t{y} + height > canvas.height() || columns <= 0 || rows <= 0 || bars <= 0 ||
      layers < 0) {
    return kOutOfRange;
  }
  if (std::int64_t{columns} * rows * bars * std::max(layers, 1) > kMaxCells) return kOutOfRange;
  canvas.area() = {x, y, width, height};
  columns_ = columns;
  rows_ = rows;
  bars_ = bars;
  layers_ = layers;
  canvas.axis().ResetForBar();
  cells_.assign(static_cast<std::size_t>(columns) * rows * bars * layers, Cell());
  canvas.axis().NewLabels(LabelOwner::kBar, columns);
  row_labels_.assign(rows, std::string());
  row_font_ = FontSpec();
  begun_ = true;
  return kOk;
}

BarChart::Cell* BarChart::Find(int column, int row, int bar, int layer) {
  if (!begun_ || column < 0 || column >= columns_ || row < 0 || row >= rows_ || bar < 0 ||
      bar >= bars_ || layer < 0 || layer >= layers_) {
    return nullptr;
  }
  std::size_t index = layer + static_cast<std::size_t>(layers_) *
                                  (bar + static_cast<std::size_t>(bars_) *
                                             (row + static_cast<std::size_t>(rows_) * column));
  return &cells_[index];
}

int BarChart::SetValue(double value, int column, int row, int bar, int layer) {
  Cell* cell = Find(column, row, bar, layer);
  if (!cell) return kOutOfRange;
  cell->value = value;
  return kOk;
}

int BarChart::SetColor(Color colour, int column, int row, int bar, int layer) {
  Cell* cell = Find(column, row, bar, layer);
  if (!cell) return kOutOfRange;
  cell->colour = colour;
  return kOk;
}

int BarChart::SetColumnLabel(ChartCanvas& canvas, std::string_view label, int column) {
  if (!begun_) return kOutOfRange;
  return canvas.axis().SetXLabel(label, column, canvas.font());
}

int BarChart::SetRowLabel(ChartCanvas& canvas, std::string_view label, int row) {
  if (!begun_ || row < 0 || row >= rows_) return kOutOfRange;
  if (draw::Utf8Length(label) > kMaxAxisLabel) return kTooLong;
  row_labels_[row] = std::string(label);
  row_font_ = canvas.font();
  return kOk;
}

// A front rectangle, the right side going back by (dx, dy), and with_top
// the top face. Faces share their edge pixels with the front.
void BarChart::DrawBlock(ChartCanvas& canvas, int x, int y, Color colour, int width, int height,
                         int dx, int dy, bool with_top) {
  const int right = x + width - 1;
  if (height > 0) {
    canvas.Box(x, y + height, x + width, y, colour, ShadeColor(colour, kEdgeShade));
    Color side = ShadeColor(colour, kSideShade);
    canvas.Shape({{right, y + 1}, {right + dx, y + 1 + dy}, {right + dx, y + height + dy},
                  {right, y + height}},
                 side, ShadeColor(side, kEdgeShade));
  }
  if (with_top) {
    int top = y + height + (height == 0 && dy > 2 ? 1 : 0);
    Color face = ShadeColor(colour, kTopShade);
    canvas.Shape({{x, top}, {right, top}, {right + dx, top + dy}, {x + dx, top + dy}}, face,
                 ShadeColor(face, kEdgeShade));
  }
}

// Where everything goes, measured before anything is drawn.
struct BarChart::Geometry {
  ChartArea area;
  AxisLayout layout;
  int axis_x = 0;
  // The label band under the floor.
  int label_height = 0;
  bool staggered = false;
  int label_rows = 1;
  int band = 0;
  // A cell's width, a row's depth and its offsets.
  int w = 0, row_depth = 0, dx = 0, dy = 0;
  int floor_width = 0;
  AxisScale scale;
  int pixels = 0;
  // Bars within a cell.
  int inner = 0, bar_width = 0, bar_dx = 0, bar_dy = 0, first_bar = 0;
};

double BarChart::StackMaximum() {
  double maximum = 0;
  for (int c = 0; c < columns_; ++c)
    for (int r = 0; r < rows_; ++r)
      for (int b = 0; b < bars_; ++b) {
        double stack = 0;
        for (int l = 0; l < layers_; ++l) stack += Find(c, r, b, l)->value;
        maximum = std::max(maximum, stack);
      }
  return std::isfinite(maximum) ? maximum : 0;
}

// Labels alternate between two rows when neighbours would come closer than
// a line height.
bool BarChart::LabelsStaggered(ChartCanvas& canvas, double spacing, int label_height) const {
  const AxisSettings& axis = canvas.axis();
  if (axis.x_label_style == 1) return true;
  double previous_right = 0;
  bool have_previous = false;
  for (int c = 0; c < columns_; ++c) {
    if (axis.x_labels[c].empty()) continue;
    double half = canvas.TextWidth(axis.x_labels[c], axis.x_label_font) / 2.0;
    if (have_previous && spacing * c - half < previous_right + label_height) return true;
    previous_right = spacing * c + half;
    have_previous = true;
  }
  return false;
}

int BarChart::RowLabelWidth(ChartCanvas& canvas) const {
  int width = 0;
  for (const std::string& label : row_labels_) {
    if (!label.empty()) width = std::max(width, canvas.TextWidth(label, row_font_) + 2);
  }
  return width;
}

BarChart::Geometry BarChart::Measure(ChartCanvas& canvas, double maximum) const {
  const AxisSettings& axis = canvas.axis();
  const double sa = std::sin(ChartCanvas::kViewAngle), ca = std::cos(ChartCanvas::kViewAngle);
  const double sb = std::sin(ChartCanvas::kViewAngle);
  Geometry g;
  g.area = canvas.area();
  g.layout = MeasureValueAxis(canvas, maximum);
  g.axis_x = g.layout.axis_width;

  g.label_height = canvas.LineHeight(axis.x_label_font);
  const double spacing = (g.area.width - g.axis_x - 5 - sa * 130 - 5) / columns_;
  g.staggered = LabelsStaggered(canvas, spacing, g.label_height);
  g.label_rows = g.staggered ? 2 : 1;
  g.band = (g.label_height + kLabelGap) * g.label_rows +
           (axis.x_title.empty() ? 0 : canvas.LineHeight(axis.x_title_font) + 4);

  double unit = (g.area.width - RowLabelWidth(canvas) - g.axis_x - 5) / (rows_ * sa + columns_ * ca);
  if (unit > 4) unit -= 1;
  const double tenth = g.area.width / 10.0;
  g.row_depth = WholePixel(std::min(unit > tenth ? unit / 2 : tenth, 130.0));
  g.w = WholePixel(unit * ca);
  g.dx = WholePixel(g.row_depth * sa);
  g.dy = WholePixel(g.row_depth * sb);
  g.floor_width = columns_ * g.w;

  const int y_title_height = std::max(g.layout.y_title_height, rows_ * g.dy);
  const int axis_height = g.area.height - g.band - y_title_height - canvas.TitleHeight();
  g.scale = NiceAxisScale(0, maximum, axis_height, kMinStepPixels, true);
  g.pixels = g.scale.ok ? g.scale.steps * g.scale.pixels_per_step : 0;
  PlaceBarsInCell(g);
  return g;
}

void BarChart::PlaceBarsInCell(Geometry& g) const {
  const double sa = std::sin(ChartCanvas::kViewAngle), sb = std::sin(ChartCanvas::kViewAngle);
  const int w = g.w, bars = bars_;
  int outer;
  if (bars >= 3) {
    outer = w * 20 / 200;
    g.inner = w * 10 / 150;
  } else if (bars == 2) {
    outer = w * 20 / 150;
    g.inner = w * 10 / 100;
  } else {
    outer = w * 20 / 100;
    if (columns_ == 1) outer *= 2;
    else if (columns_ == 2) outer = WholePixel(outer * 1.5);
    g.inner = 0;
  }
  g.bar_width = (w - 2 * outer - (bars - 1) * g.inner) / bars;
  if (g.bar_width < 3) {
    g.inner = 1;
    g.bar_width = (w - bars - 1) / bars;
  }
  int bar_depth = g.bar_width;
  bar_depth = std::max(bar_depth, WholePixel(0.7000000000000001 * g.row_depth));
  bar_depth = std::min(bar_depth, WholePixel(0.8 * g.row_depth));
  g.bar_dx = WholePixel(bar_depth * sa);
  g.bar_dy = WholePixel(bar_depth * sb);
  g.first_bar = WholePixel((w - bars * g.bar_width - (bars - 1) * g.inner) / 2 +
                           (g.dy > 0 ? static_cast<double>(g.dy - g.bar_dy) / g.dy * g.dx : 0));
}

// The frame: floor, left wall and back wall with their grid.
void BarChart::DrawFrame(ChartCanvas& canvas, const Geometry& g) const {
  const int axis_x = g.axis_x, band = g.band, rows = rows_, dx = g.dx, dy = g.dy;
  const int floor_width = g.floor_width;
  const AxisScale& scale = g.scale;
  const int back_x = axis_x + rows * dx, back_y = band + rows * dy;
  const int top = band + g.pixels;
  canvas.Shape({{axis_x, band}, {axis_x, top}, {back_x, top + rows * dy},
                {back_x + floor_width, top + rows * dy}, {back_x + floor_width, back_y},
                {axis_x + floor_width, band}},
               kWallColour, kWallColour);
  for (int r = 1; r < rows; ++r) {
    canvas.Line(axis_x + r * dx, band + r * dy, axis_x + r * dx + floor_width, band + r * dy,
                kGridColour);
  }
  for (int c = 1; c < columns_; ++c) {
    canvas.Line(axis_x + c * g.w, band, axis_x + c * g.w + rows * dx, back_y, kGridColour);
  }
  auto wall_line = [&](int y, Color colour) {
    canvas.Line(axis_x, y, back_x, y + rows * dy, colour);
    canvas.Line(back_x, y + rows * dy, back_x + floor_width, y + rows * dy, colour);
  };
  if (scale.ok) {
    for (int j = 1; j <= scale.steps; ++j) wall_line(band + j * scale.pixels_per_step, kGridColour);
    const double minor = static_cast<double>(scale.pixels_per_step) / scale.minor_divisions;
    if (minor >= 8) {
      for (int j = 0; j < scale.steps; ++j)
        for (int m = 1; m < scale.minor_divisions; ++m)
          wall_line(band + j * scale.pixels_per_step + WholePixel(m * minor + 0.45),
                    ShadeColor(kWallColour, 0.9));
    }
  }
  for (int c = 0; c < columns_; ++c) {
    canvas.Line(back_x + c * g.w, back_y, back_x + c * g.w, back_y + g.pixels, kGridColour);
  }
  canvas.Outline({{axis_x, band}, {axis_x + floor_width, band}, {back_x + floor_width, back_y},
                  {back_x, back_y}},
                 kFrameColour);
  canvas.Outline({{axis_x, band}, {axis_x, top}, {back_x, top + rows * dy}, {back_x, back_y}},
                 kFrameColour);
  canvas.Outline({{back_x, back_y}, {back_x, top + rows * dy},
                  {back_x + floor_width, top + rows * dy}, {back_x + floor_width, back_y}},
                 kFrameColour);
}

// Column labels under the floor, with the x title below them, and the row
// labels beside the floor's right edge.
void BarChart::DrawLabels(ChartCanvas& canvas, const Geometry& g) const {
  const AxisSettings& axis = canvas.axis();
  const FontSpec& label_font = axis.x_label_font;
  const int axis_x = g.axis_x, band = g.band, label_height = g.label_height;
  int drawn = 0;
  for (int c = 0; c < columns_; ++c) {
    const std::string& label = axis.x_labels[c];
    if (label.empty()) continue;
    const int centre = axis_x + c * g.w + g.w / 2;
    const int label_top =
        band - kLabelGap - (g.staggered && drawn % 2 == 1 ? label_height + kLabelGap : 0);
    canvas.Line(centre, band - 1, centre, label_top, kGridColour);
    canvas.DrawText(label, centre - canvas.TextWidth(label, label_font) / 2, label_top,
                    label_font);
    ++drawn;
  }
  if (!axis.x_title.empty()) {
    int title_width = canvas.TextWidth(axis.x_title, axis.x_title_font);
    canvas.DrawText(axis.x_title, axis_x + (g.floor_width - title_width) / 2,
                    band - kLabelGap - (label_height + kLabelGap) * g.label_rows,
                    axis.x_title_font);
  }
  const int row_label_height = canvas.LineHeight(row_font_);
  for (int r = 0; r < rows_; ++r) {
    if (row_labels_[r].empty()) continue;
    canvas.DrawText(row_labels_[r], axis_x + g.floor_width + (r + 1) * g.dx,
                    band + r * g.dy + g.dy / 2 + row_label_height / 4, row_font_);
  }
}

// Bars, back row first, each stack from the floor up.
void BarChart::DrawBars(ChartCanvas& canvas, const Geometry& g) {
  for (int r = rows_ - 1; r >= 0; --r) {
    for (int c = 0; c < columns_; ++c) {
      for (int b = 0; b < bars_; ++b) {
        const int x = g.axis_x + r * g.dx + c * g.w + g.first_bar + b * (g.bar_width + g.inner);
        int y = g.band + r * g.dy + (g.dy - g.bar_dy);
        for (int l = 0; l < layers_; ++l) {
          const Cell* cell = Find(c, r, b, l);
          double scaled = cell->value * g.scale.pixels_per_unit;
          int height = std::isfinite(scaled) ? std::max(0, WholePixel(scaled)) : 0;
          DrawBlock(canvas, x, y, cell->colour, g.bar_width, height, g.bar_dx, g.bar_dy,
                    l == layers_ - 1);
          y = WholePixel(static_cast<double>(y) + height);
        }
      }
    }
  }
}

void BarChart::DrawTitle(ChartCanvas& canvas, const Geometry& g) const {
  const std::string& title = canvas.title();
  if (title.empty()) return;
  const FontSpec& font = canvas.title_font();
  const int title_width = canvas.TextWidth(title, font);
  const int y = rows_ * g.dy + g.pixels + g.band + canvas.LineHeight(font) + 5;
  const int x = title_width < g.floor_width * 2.0 / 3.0
                    ? rows_ * g.dx + g.axis_x + (g.floor_width - title_width) / 2
                    : (g.area.width - title_width) / 2;
  canvas.DrawText(title, x, y, font);
}

int BarChart::Finish(ChartCanvas& canvas) {
  AxisSettings& axis = canvas.axis();
  if (!begun_ || axis.label_owner != LabelOwner::kBar) return kNotBegun;
  const ChartArea area = canvas.area();
  canvas.set_origin({area.x, area.y});

  const double maximum = StackMaximum();
  const Geometry g = Measure(canvas, maximum);
  DrawFrame(canvas, g);
  DrawLabels(canvas, g);
  DrawValueAxis(canvas, g.layout, g.scale, g.axis_x, g.band,
                [](int x, int y) { return Point{x, y}; });
  DrawBars(canvas, g);
  DrawTitle(canvas, g);

  begun_ = false;
  cells_.clear();
  row_labels_.clear();
  axis.DropLabels();
  return kOk;
}

}  // namespace tf::chart
