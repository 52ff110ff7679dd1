// The "Log file download" page's progress dialog on a private display while
// a file comes in slowly from the test FTP server: its picture is taken
// during the download, and the download then ends with the whole file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "ftp_test_server.h"
#include "support/test_support.h"
#include "support/window_driver.h"

namespace {

TEST(FtpDownloadWindowTest, ShowsTheDownloadWhileItRunsAndEndsWithTheWholeFile) {
  tf::test::TempDir remote;
  tf::test::TempDir dir;
  std::string log;
  for (int line = 0; log.size() < 1536 * 1024; ++line) {
    log += "127.0.0.1 - - [16/Jan/2007:10:30:00 +0000] \"GET /page" + std::to_string(line) +
           ".html HTTP/1.0\" 200 1234\n";
  }
  tf::test::WriteFile(remote.File("big.log"), log);
  // About six seconds for the whole file.
  tf::test::FtpTestServer server(remote.path(), 256 * 1024);
  const std::string local = dir.File("local");
  std::filesystem::create_directory(local);
  setenv("TALLYFOX_FTP_PORT", std::to_string(server.port()).c_str(), 1);
  setenv("FTP_CHECK_DIR", dir.path().c_str(), 1);

  const tf::test::DriveResult run = tf::test::DriveWindows(
      TF_FTP_CHECK, {"grown::" + local + "/big.log",
                     "shot:^FTP download progress$:" +
                         tf::test::ScreenPath("Tallyfox-ftp-download.png"),
                     "touch::" + dir.File("shot-taken")});
  EXPECT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_TRUE(tf::test::ReadFile(local + "/big.log") == log) << "the whole file came";
  EXPECT_NE(run.errors.find("Successfully downloaded big.log"), std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find("\n1 files were downloaded\n"), std::string::npos) << run.errors;
  const std::string last = " -- The file download is finished --\n";
  ASSERT_GE(run.errors.size(), last.size());
  EXPECT_EQ(run.errors.substr(run.errors.size() - last.size()), last) << run.errors;
}

}  // namespace
