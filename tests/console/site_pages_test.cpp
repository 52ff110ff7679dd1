// The site pages without windows: what each page reads from and writes
// into a site, and the checks that keep a page open.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "console/site_folders_page.h"
#include "console/site_general_page.h"
#include "console/site_reports_page.h"
#include "console/site_run_pages.h"
#include "console/site_schedule_page.h"
#include "engine/site/site.h"

namespace tf::console {
namespace {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    path_ = fs::temp_directory_path() /
            ("tf-pages-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(path_);
  }
  ~TempFolder() { fs::remove_all(path_); }
  std::string operator/(const std::string& tail) const { return (path_ / tail).string(); }

 private:
  fs::path path_;
};

SiteGeneralFields NamedFields(std::string name) {
  SiteGeneralFields fields;
  fields.project_name = std::move(name);
  fields.ip_address = "10.1.2.3";
  fields.session_limit = "45";
  fields.fixed_offset = "-5:30";
  return fields;
}

TEST(SiteGeneralPage, QuotedNamesAreStoredAsTypedWithinTheirField) {
  CSite site;
  StoreSiteGeneral(NamedFields("  O'Brien's ''shop''  "), site);
  EXPECT_EQ(site.ProjectName, "O'Brien's ''shop''");
  std::string long_name(150, '\'');
  long_name += std::string(30, 'x') + "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
               "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9";
  StoreSiteGeneral(NamedFields(long_name), site);
  EXPECT_EQ(site.ProjectName.size(), CSite::kProjectNameSize - 2);  // cut before a character
  EXPECT_EQ(site.ProjectName, long_name.substr(0, CSite::kProjectNameSize - 2));
  EXPECT_EQ(site.site_address, (3u << 24) | (2u << 16) | (1u << 8) | 10u);
  EXPECT_EQ(site.settings.SessionTimelimit, 45);
  EXPECT_EQ(site.settings.Timezone, -5.5 * 3600);
}

TEST(SiteGeneralPage, OnlyTheNameIsRequiredAndANewSiteIsAskedForAWebLogon) {
  SiteGeneralFields fields = NamedFields("   ");
  EXPECT_EQ(CheckSiteGeneral(fields, false), GeneralCheck::kMissingName);
  EXPECT_EQ(GeneralCheckMessage(GeneralCheck::kMissingName).caption, "Missing project name");
  fields.project_name = "Shop";
  EXPECT_EQ(CheckSiteGeneral(fields, false), GeneralCheck::kAccept);
  fields.user_name = "web";
  EXPECT_EQ(CheckSiteGeneral(fields, true), GeneralCheck::kAskWebLogon);
  EXPECT_TRUE(FocusPasswordForWebLogon(fields));
  fields.user_password = "secret";
  EXPECT_EQ(CheckSiteGeneral(fields, true), GeneralCheck::kAccept);
}

TEST(SiteGeneralPage, TheLookupTakesTheHostAfterTheScheme) {
  EXPECT_EQ(DomainForLookup("  http://www.example.org  "), "www.example.org");
  EXPECT_EQ(DomainForLookup("   "), "");
  EXPECT_EQ(LookupFailedMessage("x").text, "Unable to convert \"x\" to an IP address.");
}

TEST(LogSpecDialog, TheThreeCasesOfOk) {
  struct Case {
    std::string typed;
    LogSpecCheck check;
    std::string kept;
  };
  const Case cases[] = {
      {"/var/log/web/*.log   ", LogSpecCheck::kAccept, "/var/log/web/*.log"},
      {"   ", LogSpecCheck::kEmpty, ""},
      {"access.log", LogSpecCheck::kNeedDirectory, "access.log"},
      {"/var/log/web", LogSpecCheck::kNeedFileName, "/var/log/web"},
      {"/var/log.d/web/", LogSpecCheck::kNeedFileName, "/var/log.d/web/"},
  };
  for (const Case& c : cases) {
    std::string text = c.typed;
    EXPECT_EQ(CheckLogSpec(text), c.check) << c.typed;
    EXPECT_EQ(text, c.kept);
  }
  EXPECT_EQ(CompleteWithLogPattern("/var/log/web"), "/var/log/web/*.log");
  EXPECT_EQ(CompleteWithLogPattern("/var/log/web/"), "/var/log/web/*.log");
  EXPECT_EQ(LogSpecMessage(LogSpecCheck::kNeedDirectory).text, "You must specify a directory.");
}

TEST(LogSpecDialog, BrowseAddsTheDefaultPattern) {
  EXPECT_EQ(DefaultPatternOf("/srv/logs/ex*.log"), "/ex*.log");
  EXPECT_EQ(DefaultPatternOf("ex*.log"), "");
  EXPECT_EQ(BrowsedPattern(" /data ", "/ex*.log"), "/data/ex*.log");
  EXPECT_EQ(BrowsedPattern("/data/", ""), "/data/*.log");
  EXPECT_EQ(BrowsedPattern("  ", "/ex*.log"), "");
}

TEST(SiteFoldersPage, AddingCreatesEveryMissingFolderLevelAndPutsTheStreamFirst) {
  TempFolder temp;
  CSite site;
  AddLogStream(site, temp / "first/*.log");
  CLogStream& second = AddLogStream(site, temp / "a/b/c/ex*.log");
  EXPECT_TRUE(fs::is_directory(temp / "a/b/c"));
  ASSERT_EQ(site.log_streams.size(), 2u);
  EXPECT_EQ(site.log_streams.front().get(), &second);
  EXPECT_TRUE(site.settings_changed);
  EditLogStream(second, "");
  EXPECT_EQ(second.file_pattern(), temp / "a/b/c/ex*.log");
  EditLogStream(second, "/other/*.txt");
  EXPECT_EQ(second.file_pattern(), "/other/*.txt");
  EXPECT_EQ(ConfirmRemoveMessage(second).text, "Delete /other/*.txt ?");
  RemoveLogStream(site, second);
  ASSERT_EQ(site.log_streams.size(), 1u);
  EXPECT_EQ(site.log_streams.front()->file_pattern(), temp / "first/*.log");
}

TEST(SiteFoldersPage, ANewSiteNeedsAStreamAndTheArchiveFolderIsMade) {
  TempFolder temp;
  CSite site;
  EXPECT_TRUE(NeedsLogStream(site, true));
  EXPECT_FALSE(NeedsLogStream(site, false));
  SiteFoldersFields fields{3, " *.old ", temp / "archive/2007  ", 2};
  StoreSiteFolders(fields, site);
  EXPECT_EQ(site.settings.OldLogAction, 3);
  EXPECT_EQ(site.settings.OldNameMask, "*.old");
  EXPECT_TRUE(fs::is_directory(temp / "archive/2007"));
  EXPECT_EQ(site.settings.DateFormat, 2);
  fields.old_log_action = -1;
  StoreSiteFolders(fields, site);
  EXPECT_EQ(site.settings.OldLogAction, 3);
}

TEST(SiteLogFiltersPage, TrailingLinesBecomeOneLineEnd) {
  EXPECT_EQ(NormalizeFilter("/images/\r\n/css/\r\n\r\n  \n"), "/images/\r\n/css/\r\n");
  EXPECT_EQ(NormalizeFilter("/images/"), "/images/\r\n");
  EXPECT_EQ(NormalizeFilter(" \r\n \n\t"), "");
  CSite site;
  StoreLogFilters("a\n\n", "  \r\n", site);
  EXPECT_EQ(site.settings.LogIncludeFilter, "a\r\n");
  EXPECT_EQ(site.settings.LogExcludeFilter, "");
}

TEST(SiteReportsPage, NamesAndFolderAreTrimmedAndRefusedWhenTheLauncherCannotTakeThem) {
  TempFolder temp;
  CSite site;
  SiteReportsFields fields = FillSiteReports(site);
  EXPECT_EQ(fields.names[0], "Yesterday");
  fields.enabled[0] = true;
  fields.names[0] = "daily.html";
  fields.names[kCustomReport] = " Quarter.htm.bak ";
  fields.custom_days = "91";
  fields.folder = temp / "reports/ //  ";
  EXPECT_EQ(ReportFieldsProblem(fields), "");
  StoreSiteReports(fields, site);
  EXPECT_EQ(site.settings.RptYesterday, 1);
  EXPECT_EQ(site.settings.RptNameYesterday, "daily");
  EXPECT_EQ(site.settings.RptNameCustomdays, "Quarter");
  EXPECT_EQ(site.settings.RptCustomdaysValue, 91);
  EXPECT_EQ(site.settings.RepDirectory, temp / "reports");
  EXPECT_TRUE(fs::is_directory(temp / "reports"));

  fields.folder = "/srv/\"web\"";
  EXPECT_NE(ReportFieldsProblem(fields), "");
  fields.folder = "/srv";
  fields.names[2] = "up/down";
  EXPECT_NE(ReportFieldsProblem(fields), "");
  fields.names[2] = "month";
  fields.names[0] = ".html";
  EXPECT_NE(ReportFieldsProblem(fields), "");  // enabled without a name
}

TEST(SiteReportsPage, GenerationResultAndStatusTexts) {
  CSite site;
  EXPECT_EQ(ReportDateText(0), "Date-time when reports were generated:  (never)");
  PageMessage ok = RecordReportResult(site, true, "", 1000);
  EXPECT_EQ(site.history.RptStatus, "Successfully generated.");
  EXPECT_EQ(ok.text, "The reports were generated");
  EXPECT_EQ(site.history.RptDate, 1000);
  PageMessage failed = RecordReportResult(site, false, std::string(150, 'e'), 2000);
  EXPECT_EQ(site.history.RptStatus, std::string(100, 'e'));
  EXPECT_EQ(failed.caption, "Error generating reports");
  EXPECT_EQ(ReportStatusText("x"), "Status:  x");
}

TEST(SiteSchedulePage, AllDaysSetsTheHourInEveryWordAndStaysUntilRefilled) {
  CSite site;
  SiteScheduleModel model(site);
  model.SetAllDays(9, true);
  for (int day = 0; day < kDays; ++day) EXPECT_EQ(site.settings.RunSchedule[day], 1 << 9);
  EXPECT_TRUE(site.settings_changed);
  model.set_checked(2, 9, false);
  EXPECT_TRUE(model.all_days(9));
  model.Store();
  EXPECT_EQ(site.settings.RunSchedule[2], 0);
  EXPECT_FALSE(SiteScheduleModel(site).all_days(9));
  EXPECT_EQ(HourLabel(0), "Midnight");
  EXPECT_EQ(HourLabel(9), "  9 AM");
  EXPECT_EQ(HourLabel(12), "Noon");
  EXPECT_EQ(HourLabel(23), " 11 PM");
}

TEST(SiteSchedulePage, SwitchingOnOrAddingAnHourTestsTheHourAtTheNextTick) {
  CSite site;
  site.settings.RunSchedule[1] = 1 << 4;
  {
    SiteScheduleModel model(site);
    EXPECT_FALSE(model.Store());  // nothing changed
    model.set_enabled(true);
    EXPECT_TRUE(model.Store());
    EXPECT_EQ(site.settings.EnableSchedule, 1);
  }
  {
    SiteScheduleModel model(site);
    EXPECT_FALSE(model.Store());
    model.set_checked(1, 4, false);
    EXPECT_FALSE(model.Store());
    model.set_checked(6, 23, true);
    EXPECT_TRUE(model.Store());
    EXPECT_EQ(site.settings.RunSchedule[6], 1 << 23);
  }
  SiteScheduleModel model(site);
  model.CheckAll();
  EXPECT_EQ(site.settings.RunSchedule[0], 0xFFFFFF);
  EXPECT_TRUE(model.Store()) << "hours added by Check all are tested at the next tick";
  model.CheckAll();
  EXPECT_FALSE(model.Store());
  model.ClearAll();
  EXPECT_EQ(site.settings.RunSchedule[6], 0);
  model.set_enabled(false);
  model.Store();
  EXPECT_EQ(site.settings.EnableSchedule, 0);
}

std::string Figure(const std::vector<LabelledFigure>& figures, std::string_view label) {
  for (const auto& figure : figures) {
    if (figure.label == label) return figure.value;
  }
  ADD_FAILURE() << "no figure " << label;
  return {};
}

TEST(SiteLastRunPage, ANeverAnalysedSiteShowsZerosAndEmptyDates) {
  CSite site;
  auto figures = LastRunFigures(site, 0);
  EXPECT_EQ(figures.size(), 26u);
  EXPECT_EQ(Figure(figures, "Analysis run time:"), "0:00:00");
  EXPECT_EQ(Figure(figures, "Log file period:"), "0 days 0:00:00");
  EXPECT_EQ(Figure(figures, "Run seconds per log day:"), "");
  EXPECT_EQ(Figure(figures, "Analysis run start:"), "");
  EXPECT_EQ(Figure(figures, "Domain name cache:"), "0%");
  EXPECT_EQ(Figure(figures, "Average visitors/day:"), "0");
  SiteDatesTexts dates = FillSiteDates(site);
  EXPECT_EQ(dates.last_scan, "");
  EXPECT_EQ(ConfirmResetMessage().caption, "Confirm reset");
  EXPECT_FALSE(ResetRefusal(site));
  for (std::int32_t running : {kSiteRunning, kSiteStopping}) {
    site.state = running;
    ASSERT_TRUE(ResetRefusal(site)) << "state " << running;
    EXPECT_EQ(ResetRefusal(site)->caption, "Cannot reset site");
  }
}

TEST(SiteLastRunPage, FiguresOfARun) {
  CSite site;
  RunHistory& h = site.history;
  h.stStartTime = 100000;
  h.stEndTime = 100000 + 3723;
  h.stStartRecord = 200000;
  h.stEndRecord = 200000 + 2 * 86400 + 3600 + 61;
  h.stDomainCacheHits = 3;
  h.stDomainCacheTries = 7;
  h.stPageHits = 1500;
  h.stImageHits = 500;
  h.stDataTransfer = 1048576.0 * 3;
  auto figures = LastRunFigures(site, 0);
  EXPECT_EQ(Figure(figures, "Analysis run time:"), "1:02:03");
  EXPECT_EQ(Figure(figures, "Log file period:"), "2 days 1:01:01");
  EXPECT_EQ(Figure(figures, "Domain name cache:"), "42%");
  EXPECT_EQ(Figure(figures, "Total page hits:"), "2,000");
  EXPECT_EQ(Figure(figures, "Bytes sent from server:"), "3.0 MB");
}

}  // namespace
}  // namespace tf::console
