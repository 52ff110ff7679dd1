#include "chart/legend.h"

#include <algorithm>
#include <numeric>

#include "chart/chart_canvas.h"
#include "platform/draw/utf8.h"

namespace tf::chart {
namespace {

constexpr int kKeySize = 10;
constexpr int kRowPadding = 3;
constexpr int kColumnPadding = 6;
constexpr int kShadowOffset = 8;
constexpr int kCornerSize = 20;
constexpr Color kSeparatorColour = 0x646464;
constexpr Color kShadowColour = 0x787878;

enum Corner { kTopLeft = 1, kTopRight = 2, kBottomLeft = 4, kBottomRight = 8 };

}  // namespace

int Legend::Begin(ChartCanvas& canvas, int x, int y, int x_anchor, int y_anchor, int columns,
                  int options) {
  min_width_ = 0;
  row_gap_ = 0;
  column_gap_ = 0;
  background_ = kDefaultBackground;
  if (x < 0 || y < 0 || columns <= 0 || columns > kMaxColumns) return kOutOfRange;
  x_ = x;
  y_ = y;
  canvas.area().x = x;
  canvas.area().y = y;
  x_anchor_ = x_anchor;
  y_anchor_ = y_anchor;
  options_ = options;
  row_gap_ = (options & kRowLines) ? 1 : 0;
  column_gap_ = (options & kColumnLines) ? 1 : 0;
  columns_.assign(columns, Column());
  begun_ = true;
  return kOk;
}

int Legend::SetBackground(Color colour) {
  background_ = colour;
  return kOk;
}

int Legend::SetMinimumWidth(int width) {
  if (!begun_) return kNotBegun;
  if (width < 0) return kOutOfRange;
  min_width_ = width;
  return kOk;
}

int Legend::SetColumn(int column, int min_width, int align, int options) {
  if (!begun_) return kNotBegun;
  if (column < 0 || column >= static_cast<int>(columns_.size())) return kOutOfRange;
  columns_[column].width = min_width;
  columns_[column].align = align;
  columns_[column].options = options;
  return kOk;
}

int Legend::CheckPlace(int row, int column) const {
  if (!begun_) return kNotBegun;
  if (column < 0 || column >= static_cast<int>(columns_.size()) || row < 0 || row >= kMaxRows) {
    return kOutOfRange;
  }
  return kOk;
}

int Legend::SetItemTextSpan(ChartCanvas& canvas, std::string_view text, int row, int column,
                            int span, int align) {
  if (int status = CheckPlace(row, column); status != kOk) return status;
  Cell cell;
  cell.row = row;
  cell.column = column;
  cell.span = std::max(span, 1);
  cell.align = align;
  cell.text = std::string(draw::Utf8CutBytes(text, kMaxText));
  cell.font = canvas.font();
  cells_.push_back(std::move(cell));
  return kOk;
}

int Legend::SetItemText(ChartCanvas& canvas, std::string_view text, int row, int column) {
  if (int status = CheckPlace(row, column); status != kOk) return status;
  return SetItemTextSpan(canvas, text, row, column, 1, columns_[column].align);
}

int Legend::SetColorKey(Color colour, int row, int column) {
  if (int status = CheckPlace(row, column); status != kOk) return status;
  Cell cell;
  cell.row = row;
  cell.column = column;
  cell.key = true;
  cell.align = columns_[column].align;
  cell.key_colour = colour;
  cells_.push_back(std::move(cell));
  columns_[column].key = true;
  return kOk;
}

int Legend::SetItemBackground(std::int64_t colour, int row, int column) {
  if (int status = CheckPlace(row, column); status != kOk) return status;
  for (auto it = cells_.rbegin(); it != cells_.rend(); ++it) {
    if (it->row == row && it->column == column) {
      it->background = colour;
      break;
    }
  }
  return kOk;
}

// Widens the spanned columns by excess in all: the columns without keys in
// proportion to their widths (or all of them when those have no width).
void Legend::ShareExcess(int first, int count, int excess) {
  std::vector<int> chosen;
  int chosen_width = 0;
  for (int c = first; c < first + count; ++c) {
    if (!columns_[c].key) {
      chosen.push_back(c);
      chosen_width += columns_[c].width;
    }
  }
  if (chosen_width == 0) {
    chosen.clear();
    for (int c = first; c < first + count; ++c) chosen.push_back(c);
  }
  // A column of no width weighs as one pixel.
  std::vector<int> weights;
  for (int c : chosen) weights.push_back(std::max(columns_[c].width, 1));
  const double total = std::accumulate(weights.begin(), weights.end(), 0.0);
  for (std::size_t i = 0; i < chosen.size(); ++i) {
    columns_[chosen[i]].width += static_cast<int>(excess * weights[i] / total + 0.9);
  }
}

// A cell's background; a cell in a corner of a rounded legend gets that
// corner rounded and its other corners square.
void Legend::FillCell(ChartCanvas& canvas, int left, int top, int right, int bottom, Color colour,
                      int corner_mask) {
  if (corner_mask == 0) {
    canvas.Box(left, top, right, bottom, colour, colour);
    return;
  }
  const int half = kCornerSize / 2;
  canvas.RoundBox(left, top, right, bottom, kCornerSize, colour, colour);
  // Square off every corner that is not a corner of the legend.
  auto square = [&](bool at_left, bool at_top) {
    int x0 = at_left ? left : right - half, x1 = at_left ? left + half : right;
    int y0 = at_top ? top : bottom + half, y1 = at_top ? top - half : bottom;
    canvas.Box(x0, y0, x1, y1, colour, colour);
  };
  if (!(corner_mask & kTopLeft)) square(true, true);
  if (!(corner_mask & kTopRight)) square(false, true);
  if (!(corner_mask & kBottomLeft)) square(true, false);
  if (!(corner_mask & kBottomRight)) square(false, false);
}

// The table as laid out: which cell stands where, the size of every row
// and column, and where the legend lands in the picture.
struct Legend::Layout {
  int rows = 0;
  Cell empty;  // stands in for places no cell was set at
  std::vector<std::vector<const Cell*>> placed;
  std::vector<std::vector<int>> placed_column;
  std::vector<int> row_height;
  int width = 0, height = 0;
  int left = 0, bottom = 0, top = 0;
  std::vector<int> column_left, row_top;
  int column_gap = 0;

  int CellRight(int first, int span) const {
    return column_left[first + span] - column_gap;  // one past the cell's last pixel
  }
  int RowBottom(int r) const { return row_top[r] - row_height[r] - 2 * kRowPadding; }
};

// Measures every cell; single-column cells widen their column. The number
// of rows.
int Legend::MeasureCells(ChartCanvas& canvas) {
  const int column_count = static_cast<int>(columns_.size());
  int rows = 0;
  for (Cell& cell : cells_) {
    if (cell.background == -1) cell.background = background_;
    if (cell.key) {
      cell.width = cell.height = kKeySize;
    } else {
      cell.width = canvas.TextWidth(cell.text, cell.font);
      cell.height = canvas.TextHeight(cell.text, cell.font);
    }
    if (cell.column >= column_count) continue;  // set under an earlier, wider begin
    cell.span = std::min(cell.span, column_count - cell.column);
    if (cell.span == 1) columns_[cell.column].width = std::max(columns_[cell.column].width, cell.width);
    rows = std::max(rows, cell.row + 1);
  }
  return rows;
}

// Places the cells; at a place set twice the one set first is drawn.
void Legend::PlaceCells(Layout& layout) const {
  const int column_count = static_cast<int>(columns_.size());
  const int rows = layout.rows;
  std::vector<int> grid(static_cast<std::size_t>(rows) * column_count, -1);
  for (int i = static_cast<int>(cells_.size()) - 1; i >= 0; --i) {
    const Cell& cell = cells_[i];
    if (cell.column < column_count) grid[static_cast<std::size_t>(cell.row) * column_count + cell.column] = i;
  }
  layout.empty.background = background_;
  layout.placed.assign(rows, {});
  layout.placed_column.assign(rows, {});
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < column_count;) {
      int index = grid[static_cast<std::size_t>(r) * column_count + c];
      const Cell* cell = index >= 0 ? &cells_[index] : &layout.empty;
      layout.placed[r].push_back(cell);
      layout.placed_column[r].push_back(c);
      c += index >= 0 ? cell->span : 1;
    }
  }
}

// Columns widen for cells that span them, and for the minimum width.
void Legend::WidenColumns(const Layout& layout) {
  const int column_count = static_cast<int>(columns_.size());
  const int pad_gap = (kColumnPadding + column_gap_) * 2;
  for (int r = 0; r < layout.rows; ++r) {
    for (std::size_t i = 0; i < layout.placed[r].size(); ++i) {
      const Cell* cell = layout.placed[r][i];
      if (cell->span <= 1) continue;
      const int first = layout.placed_column[r][i];
      int room = pad_gap * (cell->span - 1);
      for (int c = first; c < first + cell->span; ++c) room += columns_[c].width;
      if (cell->width > room) ShareExcess(first, cell->span, cell->width - room);
    }
  }
  if (min_width_ > 0) {
    int total = pad_gap * (column_count - 1);
    for (const Column& column : columns_) total += column.width;
    const int target = min_width_ - 15;
    if (total < target) ShareExcess(0, column_count, target - total);
  }
}

void Legend::MeasureSize(Layout& layout) const {
  const int column_count = static_cast<int>(columns_.size());
  const int rows = layout.rows;
  layout.row_height.assign(rows, 0);
  for (int r = 0; r < rows; ++r) {
    for (const Cell* cell : layout.placed[r]) {
      if (!cell->key) layout.row_height[r] = std::max(layout.row_height[r], cell->height);
    }
  }
  layout.height = 0;
  if (rows > 0) {
    layout.height = std::accumulate(layout.row_height.begin(), layout.row_height.end(), 0) +
                    rows * 2 * kRowPadding + (rows - 1) * row_gap_;
  }
  layout.width = column_count * 2 * kColumnPadding + (column_count - 1) * column_gap_;
  for (const Column& column : columns_) layout.width += column.width;
}

// Anchors the legend at its point, kept inside the picture, and finds the
// edges of every column and row.
void Legend::Position(Layout& layout) const {
  const int column_count = static_cast<int>(columns_.size());
  const int shadow = (options_ & kShadow) ? kShadowOffset : 0;
  const int width = layout.width, height = layout.height;
  int left = x_ + 1, bottom = y_ + shadow;
  if (x_anchor_ == 1) left = x_ - shadow - width - 1;
  else if (x_anchor_ == 2) left = x_ - (width + shadow) / 2 + 1;
  if (y_anchor_ == 1) bottom = y_ - height;
  else if (y_anchor_ == 2) bottom = y_ - (height + shadow) / 2 + 1;
  layout.left = std::max(left, 2);
  layout.bottom = std::max(bottom, shadow + 2);
  layout.top = layout.bottom + height;

  layout.column_gap = column_gap_;
  layout.column_left.assign(column_count + 1, layout.left);
  for (int c = 0; c < column_count; ++c) {
    layout.column_left[c + 1] =
        layout.column_left[c] + columns_[c].width + 2 * kColumnPadding + column_gap_;
  }
  layout.row_top.assign(layout.rows + 1, layout.top);
  for (int r = 0; r < layout.rows; ++r) {
    layout.row_top[r + 1] = layout.row_top[r] - layout.row_height[r] - 2 * kRowPadding - row_gap_;
  }
}

// The drop shadow, then the frame with the legend's background.
void Legend::DrawFrame(ChartCanvas& canvas, const Layout& layout) const {
  const int shadow = (options_ & kShadow) ? kShadowOffset : 0;
  const int left = layout.left, top = layout.top, bottom = layout.bottom, width = layout.width;
  const bool rounded = (options_ & kRounded) != 0;
  auto frame = [&](int dx, int dy, Color fill, Color outline) {
    if (rounded) {
      canvas.RoundBox(left - 1 + dx, top + 1 + dy, left + width + 1 + dx, bottom - 1 + dy,
                      kCornerSize, fill, outline);
    } else {
      canvas.Box(left - 1 + dx, top + 1 + dy, left + width + 1 + dx, bottom - 1 + dy, fill, outline);
    }
  };
  if (shadow) frame(shadow, -shadow, kShadowColour, kShadowColour);
  frame(0, 0, background_, (options_ & kNoBorder) ? background_ : Color{0});
}

// Cells with a background of their own; on a rounded legend the cells at
// its corners keep the rounding.
void Legend::FillCellBackgrounds(ChartCanvas& canvas, const Layout& layout) {
  const int column_count = static_cast<int>(columns_.size());
  const int rows = layout.rows;
  const bool rounded = (options_ & kRounded) != 0;
  for (int r = 0; r < rows; ++r) {
    const int row_bottom = layout.RowBottom(r);
    for (std::size_t i = 0; i < layout.placed[r].size(); ++i) {
      const Cell* cell = layout.placed[r][i];
      if (cell->background == background_) continue;
      const int first = layout.placed_column[r][i];
      int corners = 0;
      if (rounded) {
        bool at_left = first == 0, at_right = first + cell->span == column_count;
        if (r == 0 && at_left) corners |= kTopLeft;
        if (r == 0 && at_right) corners |= kTopRight;
        if (r == rows - 1 && at_left) corners |= kBottomLeft;
        if (r == rows - 1 && at_right) corners |= kBottomRight;
      }
      FillCell(canvas, layout.column_left[first], layout.row_top[r],
               layout.CellRight(first, cell->span), row_bottom,
               static_cast<Color>(cell->background), corners);
    }
  }
}

void Legend::DrawSeparators(ChartCanvas& canvas, const Layout& layout) const {
  const int column_count = static_cast<int>(columns_.size());
  for (int r = 0; r < layout.rows; ++r) {
    const int row_bottom = layout.RowBottom(r);
    if (row_gap_ && r < layout.rows - 1) {
      canvas.Line(layout.left, row_bottom, layout.left + layout.width, row_bottom, kSeparatorColour);
    }
    if (column_gap_) {
      for (std::size_t i = 0; i < layout.placed[r].size(); ++i) {
        const int first = layout.placed_column[r][i];
        if (first + layout.placed[r][i]->span >= column_count) continue;
        const int x = layout.CellRight(first, layout.placed[r][i]->span);
        canvas.Line(x, layout.row_top[r], x, row_bottom, kSeparatorColour);
      }
    }
  }
}

// Texts and colour keys, aligned in their cells and centred in their rows.
void Legend::DrawContents(ChartCanvas& canvas, const Layout& layout) const {
  for (int r = layout.rows - 1; r >= 0; --r) {
    const int middle = layout.row_top[r] - (layout.row_height[r] + 2 * kRowPadding) / 2;
    for (std::size_t i = 0; i < layout.placed[r].size(); ++i) {
      const Cell* cell = layout.placed[r][i];
      const int first = layout.placed_column[r][i];
      const int x0 = layout.column_left[first], x1 = layout.CellRight(first, cell->span);
      int x = x0 + kColumnPadding;
      if (cell->align == kRight) x = x1 - kColumnPadding - cell->width;
      else if (cell->align == kCentre) x = x0 + (x1 - x0 - cell->width) / 2;
      const int content_top = middle + cell->height / 2;
      if (cell->key) {
        canvas.Box(x, content_top, x + kKeySize, content_top - kKeySize, cell->key_colour,
                   cell->key_colour);
      } else if (!cell->text.empty()) {
        canvas.SetTextBackground(static_cast<Color>(cell->background));
        canvas.DrawText(cell->text, x, content_top, cell->font);
      }
    }
  }
  canvas.SetTextBackground(canvas.background());
}

int Legend::Finish(ChartCanvas& canvas) {
  if (!begun_) return kNotBegun;
  Layout layout;
  layout.rows = MeasureCells(canvas);
  PlaceCells(layout);
  WidenColumns(layout);
  MeasureSize(layout);
  Position(layout);

  // The legend is placed in picture coordinates, whatever chart came before.
  const Point saved_origin = canvas.origin();
  canvas.set_origin({0, 0});
  DrawFrame(canvas, layout);
  FillCellBackgrounds(canvas, layout);
  DrawSeparators(canvas, layout);
  DrawContents(canvas, layout);
  canvas.set_origin(saved_origin);

  columns_.clear();
  cells_.clear();
  begun_ = false;
  return kOk;
}

}  // namespace tf::chart
