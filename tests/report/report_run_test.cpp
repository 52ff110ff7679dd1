// Whole report runs through the component library, as the engine calls it:
// result codes, the files a run leaves, and the page's contents.
#include <gtest/gtest.h>

#include <filesystem>

#include "interfaces/tfreport_class.h"
#include "platform/com/create.h"
#include "tests/report/report_site.h"

namespace tf::report::test {
namespace {

namespace fs = std::filesystem;

// A week of statistics, Sunday 1/1/2006 to Saturday 1/7/2006.
void FillWeek(ReportSite& s) {
  int home = s.Item(1, "/index.html");
  int buy = s.Item(1, "/buy.html");
  int hostile = s.Item(1, "<script>alert(1)</script>");
  int logo = s.Item(2, "/logo.png");
  int phrase = s.Item(402, "cheap widgets");
  const std::pair<int, const char*> groups[] = {
      {405, "Firefox"}, {405, "Opera"}, {406, "Firefox 1.5"}, {407, "Windows"},
      {408, "Windows XP"}, {409, "English"}, {404, "Germany"}, {302, "www.example.org"}};
  for (int d = 1; d <= 7; ++d) {
    const std::string date = "1/" + std::to_string(d) + "/2006";
    s.Day(date, 101, 0, 100 + d);
    s.Day(date, 102, 0, 50);
    s.Day(date, 104, 0, 5);
    s.Day(date, 201, 0, 10, 0, 0, 600);
    s.Day(date, 202, 0, 8);
    s.Day(date, 1, home, 60, 60000, 10, 1200, 8, 3);
    s.Day(date, 1, buy, 40, 20000, 5, 300, 1, 4);
    s.Day(date, 2, logo, 50, 100000, 10);
  }
  s.Day("1/3/2006", 1, hostile, 1, 0, 1);
  for (const auto& [category, name] : groups) s.Day("1/2/2006", category, s.Item(category, name), 3);
  for (int hour : {9, 10, 15}) {
    s.Hour("1/3/2006 " + std::to_string(hour) + ":00:00", 101, 10);
    s.Hour("1/3/2006 " + std::to_string(hour) + ":00:00", 201, 2);
  }
  s.TargetHit("1/2/2006", buy, phrase, 2, 3);
  s.Visitor("1/2/2006", "10.0.0.1", 30);
  s.Domain("10.0.0.1", "host.example.com");
  s.HitStatus("1/4/2006", 404, hostile, 5);
  s.Path("1/2/2006", home, hostile, 7);
}

class ReportRunTest : public testing::Test {
 protected:
  static com::ComPtr<ITFReportClass> NewReport() {
    com::ComPtr<ITFReportClass> report;
    EXPECT_EQ(com::CoCreateInstance(kTFReportClassClsid, &report), com::S_OK);
    return report;
  }
  // LoadProject by its slot, as the engine calls it.
  static com::Variant Load(ITFReportClass& report, const std::string& line) {
    com::Variant argument(line);
    com::Variant result;
    EXPECT_EQ(report.LoadProject(&argument, &result), com::S_OK);
    return result;
  }
  com::Variant Load(const std::string& line) { return Load(*NewReport().get(), line); }
  std::string Page(const std::string& name = "daily") {
    return tf::test::ReadFile(site_.OutFile(name + ".html"));
  }

  ReportSite site_;
};

TEST_F(ReportRunTest, CommandLineResults) {
  const std::string out = site_.out();
  struct Case {
    std::string line;
    std::int32_t result;
  };
  const Case cases[] = {
      {"/p \"Site A\" /s 1/1/2006-1/7/2006", -10},
      {"/D \"" + out + "\" /p \"Site A\" /s 1/1/2006-1/7/2006", -10},
      {"/d \"" + out + "\" /s 1/1/2006-1/7/2006", -11},
      {"/d \"" + out + "\" /p \"Site A\"", -12},
      {"/p \"Nobody\" /d \"" + out + "\" /s 1/1/2006-1/7/2006", -13},
      // A quote inside the name is a value like any other.
      {"/p \"Joe's site\" /d \"" + out + "\" /s 1/1/2006-1/7/2006", -13},
      {"/d \"" + out + "\" /s 1/1/2006-1/7/2006 /p \"Site A", -2210},
      {"/p \"Site A\" /d \"" + out + "\" /r \"../escape\" /s 1/1/2006-1/7/2006", -2215},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    com::Variant result = Load(c.line);
    EXPECT_EQ(result.ToInt32(), c.result);
    EXPECT_EQ(result.vt(), c.result >= -13 ? com::VT_I2 : com::VT_I4);
    EXPECT_FALSE(fs::exists(out));
  }
}

TEST_F(ReportRunTest, SiteWithoutDataGivesMinus2AfterMakingTheFolders) {
  com::Variant result = Load(site_.CommandLine("1/1/2006-1/7/2006"));
  EXPECT_EQ(result.vt(), com::VT_I2);
  EXPECT_EQ(result.i2(), -2);
  for (const char* folder : {"images", "help", "chart"}) {
    EXPECT_TRUE(fs::is_directory(site_.OutFile(folder))) << folder;
  }
  EXPECT_EQ(tf::test::ReadFile(site_.OutFile("images/question1.gif")),
            tf::test::ReadFile(site_.home() + "GUITemp/images/question1.gif"));
  EXPECT_TRUE(fs::is_empty(site_.OutFile("help")));
  EXPECT_FALSE(fs::exists(site_.OutFile("daily.html")));
}

TEST_F(ReportRunTest, FailuresGiveTheCodeOfTheStepThatFailed) {
  site_.Day("1/2/2006", 101, 0, 5);
  // The help pages cannot be written when the output folder could not be made.
  EXPECT_EQ(Load("/p \"Site A\" /d \"" + site_.OutFile("no/such") + "\" /s 1/1/2006-1/7/2006")
                .ToInt32(),
            -2250);
  fs::rename(site_.home() + "SystemTemplate.mdb", site_.home() + "moved.mdb");
  EXPECT_EQ(Load(site_.CommandLine("1/1/2006-1/7/2006")).ToInt32(), -2240);
  EXPECT_FALSE(fs::exists(site_.OutFile("daily.html")));
  site_.site().Execute("DELETE FROM tblSettingsInteger WHERE Name LIKE 'Stats*'");
  EXPECT_EQ(Load(site_.CommandLine("1/1/2006-1/7/2006")).ToInt32(), -2080);
}

TEST_F(ReportRunTest, RangeWithoutHitsSaysSo) {
  site_.Day("1/2/2006", 101, 0, 5);
  fs::remove(site_.home() + "style.css");
  com::Variant result = Load(site_.CommandLine("2/1/2006-2/7/2006"));
  EXPECT_EQ(result.vt(), com::VT_I2);
  EXPECT_EQ(result.i2(), 1);
  // Without style.css an empty one is made, and the page begins with the
  // first generated rule.
  EXPECT_EQ(fs::file_size(site_.home() + "style.css"), 0u);
  std::string page = Page();
  EXPECT_EQ(page.rfind("font.stats_header {", 0), 0u);
  const std::string line =
      "<p><center><font color=red face=arial size=3><b>There is no data for the requested time "
      "period</b></font></center>\r\n";
  ASSERT_GE(page.size(), line.size());
  EXPECT_EQ(page.substr(page.size() - line.size()), line);
  EXPECT_EQ(page.find("General Statistics"), std::string::npos);
  EXPECT_EQ(fs::directory_iterator(site_.OutFile("help"))->path().extension(), ".html");
}

TEST_F(ReportRunTest, DatesThatDoNotReadFallBackToTheLast30DaysOfData) {
  site_.Day("1/2/2006", 101, 0, 5);
  site_.Day("1/7/2006", 101, 0, 5);
  for (const char* range : {"01/05/2006", "2006-01-01-2006-01-07", "1/1/2006-1/40/2006"}) {
    SCOPED_TRACE(range);
    ASSERT_EQ(Load(site_.CommandLine(range)).ToInt32(), 1);
    EXPECT_NE(Page().find("Thu, Dec 8th, 2005-Sat, Jan 7th, 2006<br>30 Days"), std::string::npos);
  }
}

TEST_F(ReportRunTest, WeekReport) {
  FillWeek(site_);
  com::Variant result = Load(site_.CommandLine("01/01/2006-01/07/2006"));
  ASSERT_EQ(result.ToInt32(), 1);

  // The files: the page, 32 help pages, the icon and every section's chart.
  int help_pages = 0;
  for (const auto& entry : fs::directory_iterator(site_.OutFile("help"))) {
    help_pages += entry.path().extension() == ".html";
  }
  EXPECT_EQ(help_pages, 32);
  EXPECT_TRUE(fs::exists(site_.OutFile("images/question1.gif")));
  for (const char* chart :
       {"SessionsChart", "VisitorsChart", "DayChart", "HTMLDayChart", "FormDayChart",
        "BandwidthChart", "hourofdaychart", "dayofweekchart", "OperatingSystems",
        "OperatingSystemVersions", "Browser", "BrowserVersion", "Languages", "Regions"}) {
    EXPECT_TRUE(fs::exists(site_.OutFile(std::string("chart/daily-") + chart + ".jpg"))) << chart;
  }
  EXPECT_NE(tf::test::ReadFile(site_.OutFile("help/32.html")).find("Tallyfox - Paths"),
            std::string::npos);

  std::string page = Page();
  EXPECT_EQ(page.rfind("<html>", 0), 0u);  // style.css opens the page
  EXPECT_NE(page.find("Sun, Jan 1st, 2006-Sat, Jan 7th, 2006<br>7 Days"), std::string::npos);
  // General Statistics: 1,113 hits, 1,260,000 bytes, 56 users, 70 sessions
  // of 4,200 seconds in all.
  const std::pair<const char*, const char*> figures[] = {
      {"Total Hits:</font>", "1,113"},
      {"Average Hits Per Day:", "159"},
      {"Average Hits Per User:", "19.88"},
      {"Total Data Transferred:", "1,260,000"},
      {"Average Data Transferred Per Day:", "180,000"},
      {"Average Data Transferred Per Hit:", "1,132.08"},
      {"Total Users:", "56"},
      {"Average Users Per Day:", "8."},
      {"Total Sessions:", "70"},
      {"Average Sessions Per Day:", "10"},
      {"Average Sessions per User:", "1"},
      {"Total Time Users Spent on Site:", "1:10:00"},
      {"Average Time Spent Per User:", "01:15"},
      {"Average Time Spent Per Sessions:", "60"},
  };
  for (const auto& [label, value] : figures) {
    EXPECT_NE(page.find(std::string(label) + "</td><td align=right>" + value + "</td>"),
              std::string::npos)
        << label;
  }
  EXPECT_NE(page.find("Sessions Per Day"), std::string::npos);
  EXPECT_NE(page.find("Bandwidth Used Per Day (kb)"), std::string::npos);
  EXPECT_NE(page.find("Top 20&nbsp;Operating Systems"), std::string::npos);
  EXPECT_NE(page.find("&nbsp;&nbsp;&nbsp;&nbsp;67%</font>"), std::string::npos);
  std::size_t target = page.find("Target Page - /buy.html");
  ASSERT_NE(target, std::string::npos);
  EXPECT_EQ(page.find("Target Page - ", target + 1), std::string::npos);
  // A page name from the logs never becomes markup.
  EXPECT_EQ(page.find("<script>alert"), std::string::npos);
  EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
  EXPECT_NE(page.find("Top 10&nbsp;Paths"), std::string::npos);
}

TEST_F(ReportRunTest, OneDayIsShownByHourWithoutBandwidth) {
  FillWeek(site_);
  ASSERT_EQ(Load(site_.CommandLine("1/3/2006-1/3/2006", "oneday")).ToInt32(), 1);
  std::string page = Page("oneday");
  EXPECT_NE(page.find("1 Day</center>"), std::string::npos);
  for (const char* title : {"Sessions Per Hour", "Visitors Per Hour", "Total Hits Per Hour",
                            "HTML Hits Per Hour", "Form Hits Per Hour"}) {
    EXPECT_NE(page.find(title), std::string::npos) << title;
  }
  EXPECT_EQ(page.find("Bandwidth Used"), std::string::npos);
  EXPECT_FALSE(fs::exists(site_.OutFile("chart/oneday-BandwidthChart.jpg")));
  EXPECT_TRUE(fs::exists(site_.OutFile("chart/oneday-SessionsChart.jpg")));
  // Sessions by hour come from the hourly table: 2 of 6 at 9 AM.
  EXPECT_NE(page.find(" 9 AM  </td><td align=right><font class='text_normal'> 2</td>"),
            std::string::npos);
}

TEST_F(ReportRunTest, SiteNameWithAQuote) {
  FillWeek(site_);
  site_.site().Execute("UPDATE tblSettingsString SET StringValue = 'red' WHERE Name = "
                       "'StatsPageBackgroundColor'");
  db::Connection projects;
  projects.Open(site_.home() + "Tallyfox.mdb");
  projects.Execute("UPDATE tblProjects SET ProjectName = 'Joe''s <Site>'");
  ASSERT_EQ(Load("/p \"joe's <site>\" /d \"" + site_.out() + "\" /s 1/1/2006-1/7/2006").ToInt32(),
            1);
  std::string page = Page("report");
  // The title falls back to the name given; the bad colour to the default.
  EXPECT_NE(page.find("<font class='stats_header'>joe&#39;s &lt;site&gt;</font>"),
            std::string::npos);
  EXPECT_NE(page.find("<body leftmargin=7 topmargin=7 bgcolor=\"FFFFFF\">"), std::string::npos);
  EXPECT_TRUE(fs::exists(site_.OutFile("chart/report-SessionsChart.jpg")));
}

TEST_F(ReportRunTest, RunsOnOneObjectAreIndependent) {
  FillWeek(site_);
  site_.SiteInteger("TopPaths", 0);
  com::ComPtr<ITFReportClass> report = NewReport();
  ASSERT_EQ(Load(*report.get(), site_.CommandLine("1/1/2006-1/7/2006", "week")).ToInt32(), 1);
  site_.SiteInteger("TopPaths", 3);
  ASSERT_EQ(Load(*report.get(), site_.CommandLine("1/3/2006-1/3/2006", "second")).ToInt32(), 1);
  ASSERT_EQ(Load(site_.CommandLine("1/3/2006-1/3/2006", "fresh")).ToInt32(), 1);
  std::string second = Page("second");
  std::string fresh = Page("fresh");
  // The pages differ only in their picture names.
  for (std::size_t at = second.find("second-"); at != std::string::npos;
       at = second.find("second-", at)) {
    second.replace(at, 7, "fresh-");
  }
  EXPECT_EQ(second, fresh);
  EXPECT_EQ(Page("week").find("Top 10&nbsp;Paths"), std::string::npos);
  EXPECT_NE(fresh.find("Top 3&nbsp;Paths"), std::string::npos);
}

}  // namespace
}  // namespace tf::report::test

// The chart library's fonts come from fontconfig, which keeps its data for
// the life of the process; the leak checker is told so.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
