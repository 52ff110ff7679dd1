// The real folder access program on a private display, driven by its
// keyboard: the grant with its closing dialog, and a failed grant.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/accounts/acl_test_util.h"
#include "setacc/set_access.h"
#include "support/tallyfox_key.h"
#include "support/test_support.h"
#include "support/window_driver.h"

namespace tf::setacc {
namespace {

using accounts::test::AccessText;

class SetAccessProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    accounts::test::UseTestPasswd(dir_.File("passwd"), "www-data:x:61003:61003::/:/bin/false\n");
    install_ = Make("install");
    web_ = Make("web");
    for (std::string_view name : kWebSubfolders) Make("web/" + std::string(name));
    if (!accounts::test::SupportsAcls(install_)) {
      GTEST_SKIP() << "the temporary folder's file system keeps no ACLs";
    }
  }
  std::string Make(const std::string& name) {
    const std::string path = dir_.File(name);
    EXPECT_EQ(mkdir(path.c_str(), 0755), 0);
    return path;
  }
  static void SetFolders(const std::string& install, const std::string& web) {
    ASSERT_TRUE(tf::test::SetTallyfoxString("Path", install));
    ASSERT_TRUE(tf::test::SetTallyfoxString("WebPath", web));
  }

  tf::test::TempDir dir_;
  std::string install_, web_;
};

constexpr const char* kMainWindow = "^Enable Directory Access for Tallyfox$";

TEST_F(SetAccessProgramTest, ContinueGrantsTheProposedAccountAndShowsTheClosingDialog) {
  SetFolders(install_, web_);
  const tf::test::DriveResult run = tf::test::DriveWindows(
      TF_SETACC, {std::string("shot:") + kMainWindow + ":" + tf::test::ScreenPath("TFSetAcc.png"),
                  std::string("enter:") + kMainWindow,
                  "shot:^$:" + tf::test::ScreenPath("TFSetAcc-done.png"), "enter:^$"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.errors, "");
  for (const std::string& folder : {install_, web_, web_ + "/help", web_ + "/TempCharts"}) {
    EXPECT_NE(AccessText(folder).find("user:61003:rwx"), std::string::npos) << folder;
  }
}

TEST_F(SetAccessProgramTest, AFailedGrantIsToldAndTheDialogStaysForAnotherTry) {
  const std::string missing = dir_.File("missing");
  SetFolders(missing, web_);
  const tf::test::DriveResult run = tf::test::DriveWindows(
      TF_SETACC,
      {std::string("enter:") + kMainWindow,
       "shot:^Error allowing access for www-data$:" + tf::test::ScreenPath("TFSetAcc-error.png"),
       "enter:^Error allowing access for www-data$",
       "shot:^Unable to set privilege$:" + tf::test::ScreenPath("TFSetAcc-summary.png"),
       "enter:^Unable to set privilege$", std::string("escape:") + kMainWindow});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.errors, "Error allowing access for www-data: Unable to set access for " + missing +
                            "\n\nUnable to get security descriptor for file\n" +
                            std::string(kSummaryCaption) + ": " + std::string(kSummaryText) + "\n");
  EXPECT_NE(AccessText(web_).find("user:61003:rwx"), std::string::npos);
}

}  // namespace
}  // namespace tf::setacc
