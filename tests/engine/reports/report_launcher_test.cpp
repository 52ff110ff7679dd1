// Report launching: the date ranges and command lines of a site's scheduled
// reports, and whole launches through the report generator registered from
// the install folder.
#include "engine/reports/report_launcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "engine/common/registry_values.h"
#include "interfaces/tfreport_class.h"
#include "platform/com/create.h"
#include "platform/db/connection.h"
#include "support/test_support.h"

namespace tf {
namespace {

namespace fs = std::filesystem;

TimeValue At(int year, int month, int day, int hour = 10) {
  return ComposeTime(year, month, day, hour, 30, 0);
}

std::vector<std::string> CommandLines(const SiteSettings& settings, TimeValue now) {
  std::vector<std::string> lines;
  for (const ScheduledReport& r : ScheduledReports(settings, now)) {
    lines.push_back(ReportCommandLine("Site A", "/srv/reports", r.name, r.first, r.last));
  }
  return lines;
}

SiteSettings AllRanges() {
  SiteSettings s;
  for (std::int32_t* on : {&s.RptYesterday, &s.RptCurWeek, &s.RptCurMonth, &s.RptCurYear,
                           &s.Rpt7days, &s.Rpt30days, &s.Rpt90days, &s.Rpt365days,
                           &s.RptCustomdays}) {
    *on = 1;
  }
  return s;
}

TEST(ReportLauncherTest, NineCommandLinesForAFixedClock) {
  const std::string head = "/p \"Site A\" /d \"/srv/reports\" /r ";
  // Wednesday 3/15/2006: yesterday is Tuesday 3/14.
  EXPECT_EQ(CommandLines(AllRanges(), At(2006, 3, 15)),
            (std::vector<std::string>{
                head + "\"Yesterday\" /s 03/14/2006-03/14/2006",
                head + "\"CurWeek\" /s 03/12/2006-03/14/2006",
                head + "\"CurMonth\" /s 03/01/2006-03/14/2006",
                head + "\"CurYear\" /s 01/01/2006-03/14/2006",
                head + "\"7days\" /s 03/08/2006-03/14/2006",
                head + "\"30days\" /s 02/13/2006-03/14/2006",
                head + "\"90days\" /s 12/15/2005-03/14/2006",
                head + "\"365days\" /s 03/14/2005-03/14/2006",
                head + "\"Custom\" /s 11/15/2005-03/14/2006",
            }));

  SiteSettings some;
  some.RptCurWeek = some.RptCustomdays = 1;
  some.RptCustomdaysValue = 3;
  some.RptNameCustomdays = "Last three";
  EXPECT_EQ(CommandLines(some, At(2006, 3, 15, 0)),
            (std::vector<std::string>{head + "\"CurWeek\" /s 03/12/2006-03/14/2006",
                                      head + "\"Last three\" /s 03/12/2006-03/14/2006"}));
  EXPECT_TRUE(ScheduledReports(SiteSettings(), At(2006, 3, 15)).empty());
}

TEST(ReportLauncherTest, WeeksAndMonthsAtTheirEdges) {
  struct Case {
    TimeValue now;
    const char* week;
    const char* month;
  };
  const Case cases[] = {
      // On a Sunday the week is the whole past one; on a Monday, Sunday alone.
      {At(2006, 3, 19), "03/12/2006-03/18/2006", "03/01/2006-03/18/2006"},
      {At(2006, 3, 20), "03/19/2006-03/19/2006", "03/01/2006-03/19/2006"},
      // On the 1st the month is the whole previous month.
      {At(2006, 4, 1), "03/26/2006-03/31/2006", "03/01/2006-03/31/2006"},
      {At(2007, 1, 1, 0), "12/31/2006-12/31/2006", "12/01/2006-12/31/2006"},
  };
  SiteSettings s;
  s.RptCurWeek = s.RptCurMonth = 1;
  for (const Case& c : cases) {
    std::vector<ScheduledReport> reports = ScheduledReports(s, c.now);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(FormatTime("%G", reports[0].first) + "-" + FormatTime("%G", reports[0].last),
              c.week);
    EXPECT_EQ(FormatTime("%G", reports[1].first) + "-" + FormatTime("%G", reports[1].last),
              c.month);
  }
}

// An install folder with the report generator's library, templates and
// files, a projects database naming "Site A", and the chart library and the
// support component registered from the build tree. The report generator
// itself is not registered: the launcher registers it from here.
class GenerateReportsTest : public testing::Test {
 protected:
  GenerateReportsTest() {
    const std::string home = dir_.path();
    fs::create_directories(home + "/GUITemp/images");
    for (const char* name : {"TallyfoxTemplate.mdb", "ProjectTemplate.mdb", "SystemTemplate.mdb"}) {
      fs::copy_file(test::BuildPath(std::string("data/") + name), dir_.File(name));
    }
    fs::copy_file(std::string(TF_SOURCE_DIR) + "/data/style.css", dir_.File("style.css"));
    fs::copy_file(std::string(TF_SOURCE_DIR) + "/data/GUITemp/images/question1.gif",
                  dir_.File("GUITemp/images/question1.gif"));
    fs::copy_file(TF_REPORT_LIBRARY, dir_.File(report::kTFReportLibrary));
    fs::copy_file(dir_.File("TallyfoxTemplate.mdb"), dir_.File("Tallyfox.mdb"));
    fs::copy_file(dir_.File("ProjectTemplate.mdb"), dir_.File("Project0001.mdb"));
    Sql("Tallyfox.mdb",
        "INSERT INTO tblProjects (ProjectID, ProjectName, DatabaseName) VALUES (1, 'Site A', "
        "'Project0001.mdb')");
    Sql("Project0001.mdb",
        "INSERT INTO tblDay (EntryDate, Category, ItemID, Hits) VALUES (#1/2/2006#, 101, 0, 5)");
    WriteInstallPath(home);
    SetRegistryString("Path", home);
    for (const char* library : {TF_SUPPORT_LIBRARY, TF_CHART_LIBRARY}) {
      EXPECT_EQ(com::RegisterComDll(library, true), 1);
    }
    site_.ProjectName = "Site A";
    site_.DatabaseName = "Project0001.mdb";
    site_.settings.RepDirectory = Out();
  }

  void Sql(const std::string& file, const std::string& statement) {
    db::Connection db;
    db.Open(dir_.File(file));
    db.Execute(statement);
  }
  std::string Out() const { return dir_.File("reports"); }

  test::TempDir dir_;
  CSite site_;
  std::string text_ = "old text";
};

TEST_F(GenerateReportsTest, RegistersTheGeneratorAndMakesEveryEnabledReport) {
  com::ComPtr<report::ITFReportClass> probe;
  ASSERT_EQ(com::CoCreateInstance(report::kTFReportClassClsid, &probe), com::REGDB_E_CLASSNOTREG);

  // With no range enabled the generator is still registered and created.
  EXPECT_TRUE(GenerateReports(site_, text_, 100));
  EXPECT_EQ(text_, "");
  EXPECT_EQ(com::CoCreateInstance(report::kTFReportClassClsid, &probe), com::S_OK);
  probe.Reset();

  site_.settings.RptYesterday = site_.settings.RptCurMonth = 1;
  site_.settings.RptNameCurMonth = "month";
  EXPECT_TRUE(GenerateReports(site_, text_, 100)) << text_;
  EXPECT_TRUE(fs::exists(Out() + "/Yesterday.html"));
  EXPECT_TRUE(fs::exists(Out() + "/month.html"));
  EXPECT_TRUE(fs::exists(Out() + "/help/32.html"));

  // A failing range does not stop the others; the last failure's text stays.
  site_.settings.RptNameYesterday = "";
  text_.clear();
  EXPECT_FALSE(GenerateReports(site_, text_, 100));
  EXPECT_EQ(text_, "No name was specified for report");
}

TEST_F(GenerateReportsTest, ResultsBecomeTheirTexts) {
  site_.settings.RptYesterday = 1;
  struct Case {
    const char* what;
    std::function<void()> change;
    const char* text;
  };
  const Case cases[] = {
      {"no folder", [&] { site_.settings.RepDirectory.clear(); },
       "No directory was specified for reports"},
      {"no site", [&] { site_.ProjectName = "Nobody"; }, "The project does not exist"},
      {"bad folder", [&] { site_.settings.RepDirectory = Out() + "/no/such"; },
       "The report folder is invalid or could not be created"},
      {"quote in folder", [&] { site_.settings.RepDirectory = Out() + "\" /d \"/tmp"; },
       "The report folder is invalid or could not be created"},
      {"quote in site name",
       [&] { site_.ProjectName = "Site A\" /d \"" + dir_.File("elsewhere"); },
       "The project does not exist"},
      {"no help texts", [&] { fs::remove(dir_.File("SystemTemplate.mdb")); },
       "TFreportCOM returned error code -2240; (hr=0)"},
      {"no data", [&] { Sql("Project0001.mdb", "DELETE FROM tblDay"); },
       "There is no information in the log files"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.change();
    EXPECT_FALSE(GenerateReports(site_, text_, 100));
    EXPECT_EQ(text_, c.text);
    site_.ProjectName = "Site A";
    site_.settings.RepDirectory = Out();
  }
  // The text is cut to the caller's size.
  EXPECT_FALSE(GenerateReports(site_, text_, 10));
  EXPECT_EQ(text_, "There is ");
}

}  // namespace
}  // namespace tf
