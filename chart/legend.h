// The legend family: a framed table of text cells and colour keys with an
// optional drop shadow, rounded corners, separator lines and per-cell
// backgrounds, laid out when it is finished.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chart/font_spec.h"

namespace tf::chart {

class ChartCanvas;

class Legend {
 public:
  enum Option { kShadow = 1, kRounded = 2, kRowLines = 4, kColumnLines = 8, kNoBorder = 16 };
  enum Align { kLeft = 0, kRight = 1, kCentre = 2 };
  static constexpr Color kDefaultBackground = 0xF0F0F0;
  static constexpr std::size_t kMaxText = 599;
  // Bounds that keep a caller's indexes from sizing an absurd grid.
  static constexpr int kMaxColumns = 1000;
  static constexpr int kMaxRows = 10000;

  int Begin(ChartCanvas& canvas, int x, int y, int x_anchor, int y_anchor, int columns,
            int options);
  int SetBackground(Color colour);
  int SetMinimumWidth(int width);
  int SetColumn(int column, int min_width, int align, int options);
  int SetItemTextSpan(ChartCanvas& canvas, std::string_view text, int row, int column, int span,
                      int align);
  int SetItemText(ChartCanvas& canvas, std::string_view text, int row, int column);
  int SetColorKey(Color colour, int row, int column);
  int SetItemBackground(std::int64_t colour, int row, int column);
  int Finish(ChartCanvas& canvas);

  bool begun() const { return begun_; }

 private:
  struct Column {
    int width = 0;
    bool key = false;
    int align = kLeft;
    int options = 0;
  };
  struct Cell {
    int row = 0, column = 0, span = 1;
    bool key = false;
    int align = kLeft;
    std::string text;
    FontSpec font;
    std::int64_t background = -1;  // -1: the legend's background
    Color key_colour = 0;
    int width = 0, height = 0;
  };
  int CheckPlace(int row, int column) const;
  void ShareExcess(int first, int count, int excess);
  void FillCell(ChartCanvas& canvas, int left, int top, int right, int bottom, Color colour,
                int corner_mask);
  struct Layout;
  // The phases of Finish.
  int MeasureCells(ChartCanvas& canvas);
  void PlaceCells(Layout& layout) const;
  void WidenColumns(const Layout& layout);
  void MeasureSize(Layout& layout) const;
  void Position(Layout& layout) const;
  void DrawFrame(ChartCanvas& canvas, const Layout& layout) const;
  void FillCellBackgrounds(ChartCanvas& canvas, const Layout& layout);
  void DrawSeparators(ChartCanvas& canvas, const Layout& layout) const;
  void DrawContents(ChartCanvas& canvas, const Layout& layout) const;

  bool begun_ = false;
  int x_ = 0, y_ = 0, x_anchor_ = 0, y_anchor_ = 0, options_ = 0;
  std::vector<Column> columns_;
  std::vector<Cell> cells_;  // in the order set; the newest is last
  int min_width_ = 0;
  int row_gap_ = 0, column_gap_ = 0;
  Color background_ = kDefaultBackground;
};

}  // namespace tf::chart
