// The owner-drawn grid's state without its window: rows that nest under
// expandable parents, per-column icons, single, toggle and range
// selection, the focused row, scrolling over shown rows, and the
// notifications its owner receives.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tf::console {

// Row flag bits.
constexpr unsigned kRowSelected = 1;
constexpr unsigned kRowHasChildren = 8;
constexpr unsigned kRowExpanded = 16;
constexpr unsigned kRowShown = 32;  // its parent chain is expanded
// Column flag bits.
constexpr unsigned kColumnIconClickable = 1;
constexpr unsigned kColumnExpandMark = 2;
// Notification codes to the owner.
constexpr int kGridFocusChanged = 0x2000;
constexpr int kGridDoubleClick = 0x2001;
constexpr int kGridRightClick = 0x2002;
constexpr int kGridIconClick = 0x2003;
constexpr int kGridExpandClick = 0x2006;

struct GridNotification {
  int code;
  std::uint32_t value;
  bool operator==(const GridNotification&) const = default;
};

struct GridColumn {
  int width = 0;
  unsigned flags = 0;
  int icon_width = 0;  // 0: the column has no image list
};

enum class GridKey { kPageUp, kPageDown, kHome, kEnd, kUp, kDown };

class GridModel {
 public:
  static constexpr int kLeftMargin = 5;
  static constexpr int kColumnGap = 4;
  static constexpr int kHorizontalLine = 20;
  static constexpr int kHorizontalPage = 50;

  // Level 0 rows are top-level; a row of a deeper level belongs to the
  // nearest row above it of a lower level, which then has children.
  void AddRow(int level, std::vector<int> icons = {});
  void SetColumns(std::vector<GridColumn> columns);
  // The client area: rows that fit and width.
  void SetViewSize(int rows_that_fit, int client_width);

  int row_count() const { return static_cast<int>(rows_.size()); }
  int shown_count() const { return shown_count_; }
  unsigned flags(int row) const { return rows_[static_cast<std::size_t>(row)].flags; }
  int icon(int row, int column) const;
  int focused_row() const { return focused_; }
  int first_shown() const { return first_shown_; }
  int x_offset() const { return x_offset_; }
  int total_width() const;

  // The row at a shown index, or -1.
  int ShownRow(int shown_index) const;
  int ShownIndexOf(int row) const;
  // The row under a y position in the client area (below the header), or -1.
  int RowAtY(int y, int header_height, int row_height) const;
  // The column whose icon lies under x (in content pixels), or -1.
  int IconColumnAt(int x) const;

  // Scroll bar: the position is the first shown row / scale, so that long
  // lists fit a 16-bit range.
  int ScrollScale() const;
  int ScrollPosition() const { return first_shown_ / ScrollScale(); }
  // Scrolls by shown rows within range; returns the rows actually moved.
  int ScrollRows(int delta);
  void ScrollToPosition(int position) { ScrollRows(position * ScrollScale() - first_shown_); }
  void ScrollHorizontally(int delta);

  // A left click on a row at content x with the modifier keys held.
  std::optional<GridNotification> LeftClick(int row, int x, bool ctrl, bool shift);
  // A right click; right_click_selects is the window's style option.
  std::optional<GridNotification> RightClick(int row, int x, bool right_click_selects);
  GridNotification DoubleClick(int row) const { return {kGridDoubleClick, Value(row)}; }
  // Moves the focused row; without Shift the new row alone is selected.
  std::optional<GridNotification> Key(GridKey key, bool shift);

 private:
  struct Row {
    int level = 0;
    unsigned flags = kRowShown;
    std::vector<int> icons;
  };
  static std::uint32_t Value(int row) { return static_cast<std::uint32_t>(row) & 0xFFFFFF; }
  void UpdateShown();
  std::optional<GridNotification> IconClick(int row, int column);
  void SelectOnly(int row);
  void SelectRange(int from, int to);
  void EnsureVisible(int row);

  std::vector<Row> rows_;
  std::vector<GridColumn> columns_;
  int shown_count_ = 0;
  int first_shown_ = 0;
  int rows_fit_ = 1;
  int client_width_ = 0;
  int x_offset_ = 0;
  int focused_ = -1;
};

// The fill colour of a selected row (0xBBGGRR as the window draws it):
// the active pair while the grid has the focus, the grey pair otherwise.
std::uint32_t SelectionColour(bool focused_row, bool active);

}  // namespace tf::console
