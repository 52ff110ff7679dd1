// ChartCanvas: the drawing engine behind one live chart. It owns the
// picture (y up from the bottom-left corner), the current pen, brush and
// font, the chart title, and the tables of the four chart families; the
// families draw through the helpers here, which add the drawing origin.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chart/axis_settings.h"
#include "chart/bar_chart.h"
#include "chart/font_spec.h"
#include "chart/legend.h"
#include "chart/line_chart.h"
#include "chart/pie_chart.h"
#include "chart/transform3d.h"
#include "platform/draw/device_context.h"

namespace tf::chart {

using draw::Point;

enum FileType { kJpeg = 1, kBmp = 2, kPng = 3 };

// Status codes of the chart interface.
enum Status {
  kOk = 0,
  kTooLong = 1,
  kOutOfRange = 2,
  kNoPicture = 3,
  kNotBegun = 4,
  kCannotOpen = 5,
  kJpegError = 6,
  kPngError = 7,
};

// The shared chart-area fields: the last family begun stores its area here.
struct ChartArea {
  int x = 0, y = 0, width = 0, height = 0;
};

// A computed coordinate truncated toward zero to a whole pixel; values far
// out of range are held at a bound, and NaN gives 0.
int WholePixel(double v);

// Each channel (0 taken as 1) times the factor, in whole hundredths, capped at 255.
Color ShadeColor(Color colour, double factor);

class ChartCanvas {
 public:
  static constexpr std::size_t kMaxFileName = 399;
  static constexpr std::size_t kMaxTitle = 199;
  static constexpr int kMinSize = 10;
  // Twelve degrees, the angle the bar and line charts are seen from.
  static constexpr double kViewAngle = 0.20943951028714078;

  ChartCanvas();
  ~ChartCanvas();

  // Status 0, 1 (name too long), 2 (type or size) or 3 (no picture).
  int Create(std::string_view file_name, int file_type, int width, int height);
  bool created() const { return dc_ != nullptr; }
  // Writes the picture file by its type; the writer's status.
  int WritePicture();

  void SetBackgroundColor(Color colour);
  int SetFont(std::string_view face, int height, Color colour, bool bold, bool italic,
              double angle_degrees);
  int SetTitle(std::string_view title);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void TextOut(std::string_view text, int x, int y);
  void SetPen(Color colour, int width, int style);
  void SetBrush(Color colour, int style);
  void Rectangle(int left, int top, int right, int bottom);

  // For the chart families. Coordinates are relative to the drawing origin.
  int LineHeight(const FontSpec& spec) const;
  int TextWidth(std::string_view text, const FontSpec& spec);  // the widest line
  int TextHeight(std::string_view text, const FontSpec& spec) const;
  int TitleHeight() const;
  // Lines at '\n' or '~', each below the previous one, top-left at (x, y).
  void DrawText(std::string_view text, int x, int y, const FontSpec& spec);
  void Line(int x0, int y0, int x1, int y1, Color colour);
  void Shape(std::vector<Point> points, Color fill, Color outline);
  // The closed outline through the corners, in one-pixel lines.
  void Outline(const std::vector<Point>& corners, Color colour);
  void Box(int left, int top, int right, int bottom, Color fill, Color outline);
  void RoundBox(int left, int top, int right, int bottom, int corner, Color fill, Color outline);
  void SetTextBackground(Color colour);
  // Through a 3-D view, truncated to whole pixels.
  static Point Project(const Transform3d& view, double x, double y, double z);

  Point origin() const { return origin_; }
  void set_origin(Point origin) { origin_ = origin; }
  ChartArea& area() { return area_; }
  int width() const { return width_; }
  int height() const { return height_; }
  Color background() const { return background_; }
  const FontSpec& font() const { return font_; }
  const std::string& title() const { return title_; }
  const FontSpec& title_font() const { return title_font_; }
  const draw::DeviceContext* picture() const { return dc_.get(); }
  const std::string& file_name() const { return file_name_; }

  AxisSettings& axis() { return axis_; }
  BarChart& bar() { return bar_; }
  LineChart& line() { return line_; }
  PieChart& pie() { return pie_; }
  Legend& legend() { return legend_; }

 private:
  void UseFont(const FontSpec& spec);

  std::string file_name_;
  int file_type_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<draw::DeviceContext> dc_;
  Point origin_;
  ChartArea area_;
  Color background_ = draw::kWhite;
  FontSpec font_;
  draw::FontPtr made_font_;
  draw::FontRequest made_request_;
  double font_scale_ = 1.0;
  std::string title_;
  FontSpec title_font_;

  AxisSettings axis_;
  BarChart bar_;
  LineChart line_;
  PieChart pie_;
  Legend legend_;
};

}  // namespace tf::chart
