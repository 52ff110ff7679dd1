// The owner-drawn grid's state: nesting, selection, keys, scrolling and
// the notifications.
#include "console/grid_model.h"

#include <gtest/gtest.h>

namespace tf::console {
namespace {

// Rows: 0 parent (1, 2 children; 2 has child 3), 4 top-level.
GridModel Nested() {
  GridModel grid;
  grid.SetColumns({{100, kColumnExpandMark, 16}, {80, kColumnIconClickable, 16}, {60, 0, 0}});
  for (int level : {0, 1, 1, 2, 0}) grid.AddRow(level, {0, 1, -1});
  grid.SetViewSize(2, 120);
  return grid;
}

TEST(GridModelTest, CollapsedParentsHideTheirChildrenUntilTheExpandMarkIsClicked) {
  GridModel grid = Nested();
  EXPECT_EQ(grid.shown_count(), 2);
  EXPECT_EQ(grid.ShownRow(1), 4);
  EXPECT_NE(grid.flags(0) & kRowHasChildren, 0u);

  EXPECT_EQ(grid.LeftClick(0, GridModel::kLeftMargin + 2, false, false),
            (GridNotification{kGridExpandClick, 0}));
  EXPECT_EQ(grid.shown_count(), 4) << "row 3 waits for row 2";
  EXPECT_EQ(grid.LeftClick(0, GridModel::kLeftMargin + 2, false, false),
            (GridNotification{kGridExpandClick, 0x1000000}))
      << "collapsing says it was expanded";
  EXPECT_EQ(grid.shown_count(), 2);
}

TEST(GridModelTest, ClicksSelectOneToggleOrARangeAndIconsNotify) {
  GridModel grid;
  grid.SetColumns({{100, 0, 0}, {80, kColumnIconClickable, 16}});
  for (int i = 0; i < 6; ++i) grid.AddRow(0);
  grid.SetViewSize(3, 300);
  const int text_x = 50;
  EXPECT_EQ(grid.LeftClick(1, text_x, false, false), (GridNotification{kGridFocusChanged, 1}));
  grid.LeftClick(4, text_x, false, true);
  for (int row = 0; row < 6; ++row) {
    EXPECT_EQ((grid.flags(row) & kRowSelected) != 0, row >= 1 && row <= 4) << row;
  }
  grid.LeftClick(2, text_x, true, false);
  EXPECT_EQ(grid.flags(2) & kRowSelected, 0u) << "Ctrl toggles";
  EXPECT_EQ(grid.LeftClick(5, 100 + GridModel::kColumnGap + 1, false, false),
            (GridNotification{kGridIconClick, (0u << 24) | 5}));
  EXPECT_EQ(grid.RightClick(3, text_x, false), (GridNotification{kGridRightClick, 3}));
  EXPECT_EQ(grid.focused_row(), 2) << "right click selects only with the option";
  EXPECT_EQ(grid.DoubleClick(3), (GridNotification{kGridDoubleClick, 3}));
}

TEST(GridModelTest, KeysMoveTheFocusOverShownRowsAndScrollItIntoView) {
  GridModel grid;
  for (int i = 0; i < 10; ++i) grid.AddRow(0);
  grid.SetViewSize(3, 100);
  EXPECT_EQ(grid.Key(GridKey::kEnd, false), (GridNotification{kGridFocusChanged, 9}));
  EXPECT_EQ(grid.first_shown(), 7);
  grid.Key(GridKey::kPageUp, false);
  EXPECT_EQ(grid.focused_row(), 6);
  EXPECT_EQ(grid.Key(GridKey::kUp, true), std::nullopt) << "Shift extends without notifying";
  EXPECT_NE(grid.flags(6) & kRowSelected, 0u);
  EXPECT_NE(grid.flags(5) & kRowSelected, 0u);
  grid.Key(GridKey::kHome, false);
  EXPECT_EQ(grid.first_shown(), 0);
}

TEST(GridModelTest, LongListsScrollThroughAScaledRangeAndOffsetsStayInRange) {
  GridModel grid;
  for (int i = 0; i < 70000; ++i) grid.AddRow(0);
  grid.SetColumns({{300, 0, 0}});
  grid.SetViewSize(20, 100);
  EXPECT_EQ(grid.ScrollScale(), 3);
  grid.ScrollToPosition(1000);
  EXPECT_EQ(grid.first_shown(), 3000);
  EXPECT_EQ(grid.ScrollRows(1000000), 70000 - 20 - 3000);
  grid.ScrollHorizontally(GridModel::kHorizontalPage * 10);
  EXPECT_EQ(grid.x_offset(), 200);
  grid.ScrollHorizontally(-1000);
  EXPECT_EQ(grid.x_offset(), 0);
  EXPECT_EQ(grid.RowAtY(20 + 2 * 16, 20, 16), grid.first_shown() + 2);
  EXPECT_EQ(grid.RowAtY(10, 20, 16), -1) << "the header";
}

TEST(GridModelTest, SelectionColoursByFocusAndState) {
  EXPECT_EQ(SelectionColour(false, true), 0xB45A5Au);
  EXPECT_EQ(SelectionColour(true, true), 0x960000u);
  EXPECT_EQ(SelectionColour(false, false), 0x787878u);
  EXPECT_EQ(SelectionColour(true, false), 0x5A5A5Au);
}

}  // namespace
}  // namespace tf::console
