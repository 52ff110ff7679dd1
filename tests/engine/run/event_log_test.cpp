#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "engine/common/registry_values.h"
#include "engine/run/report_cleanup.h"
#include "engine/run/run_summary.h"
#include "engine/site/site.h"
#include "install_folder.h"

namespace tf {
namespace {

class EventLogTest : public testing::Test {
 protected:
  void SetUp() override {
    site_.ProjectName = "Shop";
    site_.DatabaseName = "Project0001.mdb";
  }
  // The lines of the event log, each without its time stamp ("hh:mm:ss" and
  // three blanks).
  std::vector<std::string> Lines() {
    std::istringstream log(test::ReadFile(install_.File("Project0001.txt")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) {
      EXPECT_GE(line.size(), 11u);
      lines.push_back(line.substr(11));
    }
    return lines;
  }

  std::vector<std::string> SummaryLines() {
    EXPECT_TRUE(site_.OpenEventLog());
    WriteRunSummary(site_);
    site_.CloseEventLog();
    std::vector<std::string> lines = Lines();
    EXPECT_EQ(lines.size(), 33u);
    lines.resize(33);
    return lines;
  }

  test::InstallFolder install_;
  CSite site_;
};

TEST_F(EventLogTest, LogStartsWithItsHeadAndTakesOnlyErrorsAndTraces) {
  site_.Trace("before the log exists");
  ASSERT_TRUE(site_.OpenEventLog());
  site_.SetStatus("Processing log records");
  site_.SetError("100% of\tthe\r\nlines");
  site_.Trace(std::string(300, 'x'));
  site_.CloseEventLog();
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], " -----  Event log for Shop  -----");
  EXPECT_EQ(lines[1], "100% of the  lines");
  EXPECT_EQ(lines[2], std::string(79, 'x')) << "the whole line is cut at 90";
  std::string first = test::ReadFile(install_.File("Project0001.txt")).substr(0, 11);
  EXPECT_EQ(first.substr(8), "   ");
  EXPECT_EQ(site_.ErrorText(), "100% of the  lines");
  EXPECT_TRUE(site_.error_reported());
}

TEST_F(EventLogTest, LogThatCannotBeCreatedBecomesTheError) {
  site_.DatabaseName = "nofolder/Project0001.mdb";
  EXPECT_FALSE(site_.OpenEventLog());
  EXPECT_EQ(site_.ErrorText(), "Unable to create event log file");
}

TEST(SiteTextTest, StatusAndErrorKeep199Characters) {
  CSite site;
  std::string long_text = std::string(198, 's') + "\xC3\xA9" + std::string(100, 't');
  site.SetStatus(long_text);
  EXPECT_EQ(site.StatusText(), std::string(198, 's')) << "a character is never split";
  site.SetStatus("same");
  site.SetStatus("same");
  EXPECT_EQ(site.StatusText(), "same");
  site.SetError(std::string(300, 'e'));
  EXPECT_EQ(site.ErrorText(), std::string(199, 'e'));
  site.ClearError();
  EXPECT_EQ(site.ErrorText(), "");
}

TEST_F(EventLogTest, RunSummaryLines) {
  RunHistory& h = site_.history;
  h.stStartTime = NowLocalSeconds() - 3725;  // 1:02:05 ago
  h.stStartRecord = ComposeTime(2007, 1, 7, 0, 0, 0);
  h.stEndRecord = h.stStartRecord + 2 * 86400 + 3 * 3600 + 4 * 60 + 5;
  h.stTotalRecords = 1234567;
  h.stDataTransfer = 3 * 1048576.0;
  h.stVisitors = 9;
  h.stSessions = 20;
  h.stPageHits = 1000;
  h.stImageHits = 2000;
  h.stOtherHits = 5;
  h.stDomainCacheTries = 8;
  h.stDomainCacheHits = 3;
  h.stUnreadLines = 4321;
  h.stUnreadFields = 2;
  std::vector<std::string> lines = SummaryLines();
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], " ---  Statistics for Shop  ---");
  EXPECT_EQ(lines[5].rfind("Analysis run time: 1:02:0", 0), 0u) << lines[5];
  EXPECT_EQ(lines[7], "First record processed: " + FormatTime("%L", h.stStartRecord));
  EXPECT_EQ(lines[9], "Log file period: 2 days 3:04:05");
  EXPECT_EQ(lines[10], "Total log records processed: 1,234,567");
  EXPECT_EQ(lines[14], "Total bytes transferred: 3.0 MB");
  EXPECT_EQ(lines[16], "Visitors: 9");
  EXPECT_EQ(lines[17], "Average visitors per day: 4");
  EXPECT_EQ(lines[28], "Total page hits: 3,005");
  EXPECT_EQ(lines[29], "Average hits per day: 1,412");
  EXPECT_EQ(lines[30], "Hits in domain name cache: 37%");
  EXPECT_EQ(lines[31], "Log lines not read: 4,321");
  EXPECT_EQ(lines[32], "Log fields not read (taken as 0): 2");
}

TEST_F(EventLogTest, UnreadLinesAreCountedAndTheFirstFewTraced) {
  ASSERT_TRUE(site_.OpenEventLog());
  for (int line = 1; line <= 7; ++line) site_.CountUnreadLine("/logs/access.log", "line " + std::to_string(line * 10));
  site_.CountUnreadFields(3);
  site_.CloseEventLog();
  EXPECT_EQ(site_.history.stUnreadLines, 7);
  EXPECT_EQ(site_.history.stUnreadFields, 3);
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 6u);  // the log's first line, then five
  EXPECT_EQ(lines[1], "Log line not read: /logs/access.log line 10");
  EXPECT_EQ(lines[5], "Log line not read: /logs/access.log line 50");
}

TEST_F(EventLogTest, RunSummaryOfOneInstantHasNoDailyFigures) {
  site_.history.stStartRecord = site_.history.stEndRecord = ComposeTime(2007, 1, 7, 10, 0, 0);
  site_.history.stVisitors = 5;
  site_.history.stDataTransfer = 1e6;
  std::vector<std::string> lines = SummaryLines();
  EXPECT_EQ(lines[6], "Analysis run seconds per log day: 0.0");
  EXPECT_EQ(lines[9], "Log file period: 0 days 0:00:00");
  EXPECT_EQ(lines[15], "Average transfer per day: 0.0 MB");
  EXPECT_EQ(lines[17], "Average visitors per day: 0");
  EXPECT_EQ(lines[19], "Average sessions per day: 0");
  EXPECT_EQ(lines[29], "Average hits per day: 0");
  EXPECT_EQ(lines[30], "Hits in domain name cache: 0%");
}

TEST(RunDueTest, GuardCarriesTheLastTenthOfASecondIntoTheNextHour) {
  CSite site;
  site.settings.EnableSchedule = 1;
  site.settings.RunSchedule[0] = 1;  // Sunday 0:00
  const TimeValue saturday_end = ComposeTime(2007, 1, 13, 23, 59, 59) + 0.7;
  EXPECT_TRUE(site.IsRunDue(saturday_end));
  EXPECT_FALSE(site.IsRunDue(saturday_end - 1));
  site.settings.EnableSchedule = 0;
  EXPECT_FALSE(site.IsRunDue(saturday_end));
}

TEST_F(EventLogTest, ReportPicturesOlderThanADayGoOnlyOnceInTwoHours) {
  std::string charts = install_.File("web/TempCharts");
  std::filesystem::create_directories(charts);
  SetRegistryString("WebPath", install_.File("web") + "  ");
  auto age = [&](const std::string& name, int hours) {
    std::string path = charts + "/" + name;
    test::WriteFile(path, "x");
    time_t when = time(nullptr) - hours * 3600;
    struct utimbuf times = {when, when};
    utime(path.c_str(), &times);
    return path;
  };
  std::string old_chart = age("old.jpg", 30);
  std::string new_chart = age("new.jpg", 2);
  std::string hidden = age(".keep", 30);
  CleanupReportFiles(site_);
  EXPECT_FALSE(std::filesystem::exists(old_chart));
  EXPECT_TRUE(std::filesystem::exists(new_chart));
  EXPECT_TRUE(std::filesystem::exists(hidden));
  EXPECT_EQ(site_.StatusText(), "Cleaning up old report files for site.");

  std::string later = age("later.jpg", 30);
  CSite other;
  CleanupReportFiles(other);
  EXPECT_TRUE(std::filesystem::exists(later)) << "within 7200 s of the last clean-up";
}

}  // namespace
}  // namespace tf
