// The 3-D bar chart family: columns along the x axis, rows one behind the
// other, bars side by side in each cell, each bar a stack of layers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chart/font_spec.h"

namespace tf::chart {

class ChartCanvas;

class BarChart {
 public:
  static constexpr Color kDefaultColour = 0x0F8701;
  // Columns x rows x bars x layers; more is refused, so that a caller's
  // counts cannot exhaust memory.
  static constexpr std::int64_t kMaxCells = 1 << 20;

  int Begin(ChartCanvas& canvas, int x, int y, int width, int height, int columns, int rows,
            int bars, int layers);
  int SetValue(double value, int column, int row, int bar, int layer);
  int SetColor(Color colour, int column, int row, int bar, int layer);
  int SetColumnLabel(ChartCanvas& canvas, std::string_view label, int column);
  int SetRowLabel(ChartCanvas& canvas, std::string_view label, int row);
  int Finish(ChartCanvas& canvas);

  bool begun() const { return begun_; }

 private:
  struct Cell {
    double value = 0;
    Color colour = kDefaultColour;
  };
  Cell* Find(int column, int row, int bar, int layer);
  struct Geometry;
  // The phases of Finish.
  double StackMaximum();
  bool LabelsStaggered(ChartCanvas& canvas, double spacing, int label_height) const;
  int RowLabelWidth(ChartCanvas& canvas) const;
  Geometry Measure(ChartCanvas& canvas, double maximum) const;
  void PlaceBarsInCell(Geometry& g) const;
  void DrawFrame(ChartCanvas& canvas, const Geometry& g) const;
  void DrawLabels(ChartCanvas& canvas, const Geometry& g) const;
  void DrawBars(ChartCanvas& canvas, const Geometry& g);
  void DrawTitle(ChartCanvas& canvas, const Geometry& g) const;
  void DrawBlock(ChartCanvas& canvas, int x, int y, Color colour, int width, int height, int dx,
                 int dy, bool with_top);

  bool begun_ = false;
  int columns_ = 0, rows_ = 0, bars_ = 0, layers_ = 0;
  std::vector<Cell> cells_;
  std::vector<std::string> row_labels_;
  FontSpec row_font_;
};

}  // namespace tf::chart
