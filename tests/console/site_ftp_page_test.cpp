// The Log file download page and its progress queue without windows.
#include <gtest/gtest.h>

#include <thread>

#include "console/site_folders_page.h"
#include "console/site_ftp_page.h"
#include "engine/site/site.h"

namespace tf::console {
namespace {

TEST(SiteFtpPage, EmptyFolderAndPatternComeFromTheFirstPattern) {
  CSite site;
  site.log_streams.push_back(std::make_unique<CLogStream>("/srv/logs/ex*.log"));
  FtpFields fields = FillFtp(site);
  EXPECT_EQ(fields.local_folder, "/srv/logs/");
  EXPECT_EQ(fields.file_name, "ex*.log");
  EXPECT_TRUE(site.settings_changed);
  CSite bare;
  bare.log_streams.push_back(std::make_unique<CLogStream>("ex*.log"));
  EXPECT_EQ(FillFtp(bare).local_folder, "");
  EXPECT_EQ(FillFtp(bare).file_name, "ex*.log");
}

TEST(SiteFtpPage, OnlyAChangedFieldMarksTheSite) {
  CSite site;
  FtpFields fields = FillFtp(site);
  StoreFtp(fields, site);
  EXPECT_FALSE(site.settings_changed);
  fields.passive = true;
  StoreFtp(fields, site);
  EXPECT_EQ(site.settings.FtpPassive, 1);
  EXPECT_TRUE(site.settings_changed);
  site.settings_changed = false;
  fields.address = std::string(150, 'a');
  StoreFtp(fields, site);
  EXPECT_EQ(site.settings.FtpAddress.size(), 99u);
}

TEST(SiteFtpPage, MissingValuesInOrderAndTheDateReset) {
  CSite site;
  EXPECT_EQ(MissingFtpValue(site), FtpField::kAddress);
  EXPECT_EQ(MissingFtpMessage(FtpField::kAddress).text, "You must specify an FTP site address");
  site.settings.FtpAddress = "127.0.0.1";
  EXPECT_EQ(MissingFtpValue(site), FtpField::kFileName);
  site.settings.FtpFileName = "*.log";
  EXPECT_EQ(MissingFtpValue(site), FtpField::kLocalFolder);
  site.settings.FtpLocalFolder = "/tmp/";
  EXPECT_EQ(MissingFtpValue(site), FtpField::kNone);
  ResetFtpDate(site);
  EXPECT_FALSE(site.settings_changed);
  site.settings.FtpLastDate = 1000;
  ResetFtpDate(site);
  EXPECT_EQ(site.settings.FtpLastDate, 0);
  EXPECT_TRUE(site.settings_changed);
}

TEST(FtpProgressQueue, LinesArriveInOrderTrimmedAndTheNewestStayInView) {
  FtpMessageQueue queue;
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) queue.Push("line " + std::to_string(i) + " \r\n");
    queue.Push(kFinishedLine, true);
  });
  worker.join();
  auto lines = queue.TakeAll();
  ASSERT_EQ(lines.size(), 101u);
  EXPECT_EQ(lines[0].text, "line 0");
  EXPECT_TRUE(lines.back().last);
  std::vector<std::string> shown;
  for (auto& line : lines) AppendVisible(shown, line.text, 10);
  ASSERT_EQ(shown.size(), 10u);
  EXPECT_EQ(shown.front(), "line 91");
  EXPECT_EQ(shown.back(), kFinishedLine);
  EXPECT_TRUE(queue.TakeAll().empty());
}

}  // namespace
}  // namespace tf::console
