#include "console/grid_model.h"

#include <algorithm>
#include <utility>

namespace tf::console {

namespace {

constexpr int kScrollRange = 32767;

}  // namespace

void GridModel::AddRow(int level, std::vector<int> icons) {
  Row row;
  row.level = std::max(0, level);
  row.icons = std::move(icons);
  for (int i = static_cast<int>(rows_.size()) - 1; row.level > 0 && i >= 0; --i) {
    Row& parent = rows_[static_cast<std::size_t>(i)];
    if (parent.level >= row.level) continue;
    parent.flags |= kRowHasChildren;
    bool open = (parent.flags & kRowShown) != 0 && (parent.flags & kRowExpanded) != 0;
    if (!open) row.flags &= ~kRowShown;
    break;
  }
  if ((row.flags & kRowShown) != 0) ++shown_count_;
  rows_.push_back(std::move(row));
}

void GridModel::SetColumns(std::vector<GridColumn> columns) { columns_ = std::move(columns); }

void GridModel::SetViewSize(int rows_that_fit, int client_width) {
  rows_fit_ = std::max(1, rows_that_fit);
  client_width_ = client_width;
  ScrollRows(0);
  ScrollHorizontally(0);
}

int GridModel::icon(int row, int column) const {
  const auto& icons = rows_[static_cast<std::size_t>(row)].icons;
  return column < static_cast<int>(icons.size()) ? icons[static_cast<std::size_t>(column)] : -1;
}

int GridModel::total_width() const {
  int width = 0;
  for (const GridColumn& column : columns_) width += column.width;
  return width;
}

void GridModel::UpdateShown() {
  // A row is shown when every row above it on its parent chain is expanded:
  // below a collapsed parent, every deeper row is hidden.
  int hidden_below = -1;  // rows deeper than this level are hidden
  shown_count_ = 0;
  for (Row& row : rows_) {
    if (hidden_below >= 0 && row.level > hidden_below) {
      row.flags &= ~kRowShown;
      continue;
    }
    hidden_below = -1;
    row.flags |= kRowShown;
    ++shown_count_;
    if ((row.flags & kRowHasChildren) != 0 && (row.flags & kRowExpanded) == 0) {
      hidden_below = row.level;
    }
  }
  ScrollRows(0);
}

int GridModel::ShownRow(int shown_index) const {
  if (shown_index < 0) return -1;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if ((rows_[i].flags & kRowShown) != 0 && shown_index-- == 0) return static_cast<int>(i);
  }
  return -1;
}

int GridModel::ShownIndexOf(int row) const {
  int index = 0;
  for (int i = 0; i < row; ++i) {
    if ((rows_[static_cast<std::size_t>(i)].flags & kRowShown) != 0) ++index;
  }
  return index;
}

int GridModel::RowAtY(int y, int header_height, int row_height) const {
  if (y < header_height || row_height <= 0) return -1;
  return ShownRow(first_shown_ + (y - header_height) / row_height);
}

int GridModel::IconColumnAt(int x) const {
  int left = 0;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    const GridColumn& column = columns_[c];
    int icon_left = left + (c == 0 ? kLeftMargin : kColumnGap);
    if (column.icon_width > 0 && x >= icon_left && x < icon_left + column.icon_width) {
      return static_cast<int>(c);
    }
    left += column.width;
  }
  return -1;
}

int GridModel::ScrollScale() const { return std::max(1, (shown_count_ + kScrollRange - 1) / kScrollRange); }

int GridModel::ScrollRows(int delta) {
  int last_first = std::max(0, shown_count_ - rows_fit_);
  int target = std::clamp(first_shown_ + delta, 0, last_first);
  int moved = target - first_shown_;
  first_shown_ = target;
  return moved;
}

void GridModel::ScrollHorizontally(int delta) {
  x_offset_ = std::clamp(x_offset_ + delta, 0, std::max(0, total_width() - client_width_));
}

void GridModel::SelectOnly(int row) {
  for (Row& each : rows_) each.flags &= ~kRowSelected;
  if (row >= 0) rows_[static_cast<std::size_t>(row)].flags |= kRowSelected;
}

void GridModel::SelectRange(int from, int to) {
  if (from < 0) from = to;
  auto [low, high] = std::minmax(from, to);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    bool inside = static_cast<int>(i) >= low && static_cast<int>(i) <= high &&
                  (rows_[i].flags & kRowShown) != 0;
    rows_[i].flags = inside ? rows_[i].flags | kRowSelected : rows_[i].flags & ~kRowSelected;
  }
}

std::optional<GridNotification> GridModel::IconClick(int row, int column) {
  if (column < 0) return std::nullopt;
  unsigned column_flags = columns_[static_cast<std::size_t>(column)].flags;
  Row& clicked = rows_[static_cast<std::size_t>(row)];
  if ((column_flags & kColumnExpandMark) != 0 && (clicked.flags & kRowHasChildren) != 0) {
    bool was_expanded = (clicked.flags & kRowExpanded) != 0;
    clicked.flags ^= kRowExpanded;
    UpdateShown();
    return GridNotification{kGridExpandClick, Value(row) | (was_expanded ? 0x1000000u : 0u)};
  }
  if ((column_flags & kColumnIconClickable) != 0) {
    return GridNotification{kGridIconClick,
                            (static_cast<std::uint32_t>(column - 1) << 24) | Value(row)};
  }
  return std::nullopt;
}

std::optional<GridNotification> GridModel::LeftClick(int row, int x, bool ctrl, bool shift) {
  if (row < 0 || row >= row_count()) return std::nullopt;
  if (auto icon_click = IconClick(row, IconColumnAt(x))) return icon_click;
  if (ctrl) {
    rows_[static_cast<std::size_t>(row)].flags ^= kRowSelected;
  } else if (shift) {
    SelectRange(focused_, row);
  } else {
    SelectOnly(row);
  }
  focused_ = row;
  return GridNotification{kGridFocusChanged, Value(row)};
}

std::optional<GridNotification> GridModel::RightClick(int row, int x, bool right_click_selects) {
  if (row < 0 || row >= row_count()) return std::nullopt;
  if (auto icon_click = IconClick(row, IconColumnAt(x))) return icon_click;
  if (right_click_selects) {
    SelectOnly(row);
    focused_ = row;
  }
  return GridNotification{kGridRightClick, Value(row)};
}

void GridModel::EnsureVisible(int row) {
  int index = ShownIndexOf(row);
  if (index < first_shown_) ScrollRows(index - first_shown_);
  if (index >= first_shown_ + rows_fit_) ScrollRows(index - rows_fit_ + 1 - first_shown_);
}

std::optional<GridNotification> GridModel::Key(GridKey key, bool shift) {
  if (shown_count_ == 0) return std::nullopt;
  int current = focused_ < 0 ? 0 : ShownIndexOf(focused_);
  int target = current;
  switch (key) {
    case GridKey::kPageUp: target = current - rows_fit_; break;
    case GridKey::kPageDown: target = current + rows_fit_; break;
    case GridKey::kHome: target = 0; break;
    case GridKey::kEnd: target = shown_count_ - 1; break;
    case GridKey::kUp: target = current - 1; break;
    case GridKey::kDown: target = current + 1; break;
  }
  int row = ShownRow(std::clamp(target, 0, shown_count_ - 1));
  int previous = focused_;
  focused_ = row;
  EnsureVisible(row);
  if (shift) {
    SelectRange(previous, row);
    return std::nullopt;
  }
  SelectOnly(row);
  return GridNotification{kGridFocusChanged, Value(row)};
}

std::uint32_t SelectionColour(bool focused_row, bool active) {
  if (active) return focused_row ? 0x960000 : 0xB45A5A;
  return focused_row ? 0x5A5A5A : 0x787878;
}

}  // namespace tf::console
