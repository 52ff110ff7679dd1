// The 3-D line chart family: values over a row of x positions drawn as
// ribbons (type 0), areas (type 1) or stacked areas (type 2) in a 3-D box.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "chart/font_spec.h"

namespace tf::chart {

class ChartCanvas;

class LineChart {
 public:
  enum Type { kRibbons = 0, kAreas = 1, kStacked = 2 };
  // x values x lines; more is refused.
  static constexpr std::int64_t kMaxValues = 1 << 20;

  int Begin(ChartCanvas& canvas, int type, int x, int y, int width, int height, int values,
            int lines);
  int SetValue(double value, int x_index, int line);
  int SetColor(Color colour, int line);
  int SetLabel(ChartCanvas& canvas, std::string_view label, int x_index);
  int Finish(ChartCanvas& canvas);

  bool begun() const { return begun_; }
  bool area_flag() const { return area_flag_; }

 private:
  double& Value(int x_index, int line) { return values_[x_index + static_cast<std::size_t>(line) * count_]; }

  struct Geometry;
  // The phases of Finish.
  double ValueMaximum();
  void MeasureLabelBand(ChartCanvas& canvas, Geometry& g) const;
  void MeasureBox(ChartCanvas& canvas, Geometry& g, double maximum) const;
  void DrawBox(ChartCanvas& canvas, const Geometry& g) const;
  void DrawLines(ChartCanvas& canvas, const Geometry& g);
  void DrawFloorFront(ChartCanvas& canvas, const Geometry& g) const;
  void DrawXLabels(ChartCanvas& canvas, const Geometry& g) const;
  void DrawTitle(ChartCanvas& canvas, const Geometry& g) const;

  bool begun_ = false;
  bool area_flag_ = false;
  int type_ = 0;
  int count_ = 0;
  int lines_ = 0;
  std::vector<double> values_;
  std::vector<Color> colours_;
};

}  // namespace tf::chart
