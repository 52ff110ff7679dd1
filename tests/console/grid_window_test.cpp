// The grid window on a private display: clicks and keys reach the model and
// come back to the owner as notifications.
#include <gtest/gtest.h>

#include "support/window_driver.h"

namespace {

TEST(GridWindowTest, ClicksAndKeysNotifyTheOwner) {
  const tf::test::DriveResult run = tf::test::DriveWindows(
      TF_GRID_CHECK, {"shot:^Grid window check$:" + tf::test::ScreenPath("Tallyfox-grid.png"),
                      "enter:^Grid window check$"});
  EXPECT_EQ(run.exit_code, 0) << run.errors;
  // Expanding Site 1 (row 0), selecting page 1 (row 1), Down to page 2, the
  // clickable icon of page 2 in the second column, a right click on page 3.
  EXPECT_EQ(run.errors,
            "notify 0x2006 0 from 77\n"
            "notify 0x2000 1 from 77\n"
            "notify 0x2000 2 from 77\n"
            "notify 0x2003 2 from 77\n"
            "notify 0x2002 3 from 77\n");
}

}  // namespace
