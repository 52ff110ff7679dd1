// The viewer's window-free model on a small install folder: the project
// list, selecting a project, the options' rows, saving a report, the work
// folder's clean-up, help links and bringing up the console.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/db/recordset.h"
#include "support/test_support.h"
#include "tests/report/report_site.h"
#include "tests/viewer/viewer_test_support.h"
#include "viewer/analysis_tree.h"
#include "viewer/console_link.h"
#include "viewer/help_topic.h"
#include "viewer/options_model.h"
#include "viewer/save_report.h"
#include "viewer/viewer_session.h"
#include "viewer/viewer_texts.h"
#include "viewer/work_folder.h"

namespace tf::viewer {
namespace {

namespace fs = std::filesystem;
using report::test::ReportSite;
using test::ScriptedBoxes;

void AddProject(const ReportSite& site, int id, const std::string& name, const std::string& file) {
  db::Connection projects;
  projects.Open(site.home() + "Tallyfox.mdb");
  projects.Execute("INSERT INTO tblProjects (ProjectID, ProjectName, DatabaseName) VALUES (?, ?, ?)",
                   {com::Variant(id), com::Variant(name), com::Variant(file)});
  fs::copy_file(site.home() + "ProjectTemplate.mdb", site.home() + file,
                fs::copy_options::overwrite_existing);
}

std::string Home(const ReportSite& site) {
  std::string home = site.home();
  home.pop_back();
  return home;
}

TEST(ProjectListTest, StatusSearchAndNames) {
  ReportSite site;
  ViewerSession session(Home(site));
  ASSERT_TRUE(session.LoadProjectCombo());
  EXPECT_EQ(session.status_text, "Loaded 1 project");
  AddProject(site, 2, "beta shop", "Project0002.mdb");
  AddProject(site, 3, "Alpha", "Project0003.mdb");
  ProjectList list;
  list.Load(site.home() + "Tallyfox.mdb");
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list.StatusText(), "Loaded 3 projects");
  EXPECT_EQ(list.projects()[0].name, "Alpha");
  EXPECT_EQ(list.projects()[2].database, "Project0001.mdb");
  EXPECT_EQ(list.Search(""), 0);
  EXPECT_EQ(list.Search("BE"), 1);
  EXPECT_EQ(list.Search("site a"), 2);
  EXPECT_EQ(list.Search("zeta"), std::nullopt);
  EXPECT_EQ(list.FindByName("SITE A"), 2);

  ProjectList none;
  db::Connection projects;
  projects.Open(site.home() + "Tallyfox.mdb");
  projects.Execute("DELETE FROM tblProjects");
  none.Load(site.home() + "Tallyfox.mdb");
  EXPECT_EQ(none.StatusText(), "Loaded 0 projects");
}

TEST(SelectProjectTest, LogDatesDomainAndEndDate) {
  ReportSite site;
  AddProject(site, 2, "Empty", "Project0002.mdb");
  site.Day("1/2/2006", 101, 0, 5);
  site.Day("1/20/2006", 101, 0, 5);
  site.SiteString("DomainName", "www.example.com");
  site.SiteInteger("TopBrowsers", 7);
  ViewerSession session(Home(site));
  session.dates = {"01/01/2006", "02/15/2006"};
  ASSERT_TRUE(session.LoadProjectCombo());
  ASSERT_EQ(session.projects().projects()[1].name, "Site A");
  session.SelectProject(1);
  EXPECT_EQ(session.logs.from, "1/2/2006");
  EXPECT_EQ(session.logs.to, "1/20/2006");
  EXPECT_EQ(session.name_label, "Site A");
  EXPECT_EQ(session.domain_label, "www.example.com");
  EXPECT_EQ(session.run().TopNTable[2].count, "7");
  EXPECT_EQ(session.dates.to, "1/20/2006") << "held to the last log date";

  session.dates = {"01/01/2006", "01/10/2006"};
  session.SelectProject(1);
  EXPECT_EQ(session.dates.to, "01/10/2006");
  session.dates = {"01/01/2006", ""};
  session.SelectProject(1);
  EXPECT_EQ(session.dates.to, "1/20/2006");
  EXPECT_EQ(session.dates.from, "12/21/2005");

  // A site without days or Top rows: empty labels, dates kept, defaults.
  session.dates = {"01/01/2006", "02/15/2006"};
  session.SelectProject(0);
  EXPECT_EQ(session.logs.from, "");
  EXPECT_EQ(session.logs.to, "");
  EXPECT_EQ(session.domain_label, "");
  EXPECT_EQ(session.dates.to, "02/15/2006");
  EXPECT_EQ(session.run().TopNTable[2].count, "20");
}

TEST(ViewerRunTest, SummaryThenFullReportIntoTheWorkFolder) {
  ReportSite site;
  for (int d = 1; d <= 7; ++d) {
    site.Day("1/" + std::to_string(d) + "/2006", 101, 0, 10);
    site.Day("1/" + std::to_string(d) + "/2006", 202, 0, 2);
  }
  ViewerSession session(Home(site));
  session.LoadProjectCombo();
  session.dates = {"01/01/2006", "01/07/2006"};
  ScriptedBoxes boxes;
  RunOutcome summary = session.LoadProject(true, test::Day("12/7/2006"));
  ASSERT_TRUE(summary.written) << summary.error;
  EXPECT_FALSE(session.full_report_shown);
  EXPECT_EQ(session.run().progress, 4);
  EXPECT_EQ(session.run().progress_max, 4);
  const std::string prefix = std::to_string(session.run().RunNumber) + "-07122006-1-";
  EXPECT_EQ(session.run().ChartFilePrefix, prefix);
  EXPECT_EQ(summary.page_path, site.home() + "GUITemp/" + prefix.substr(0, prefix.size() - 1) + ".html");
  const std::string page = tf::test::ReadFile(summary.page_path);
  EXPECT_NE(page.find("General Statistics"), std::string::npos);
  EXPECT_EQ(page.find("SessionsPerDay"), std::string::npos);

  RunOutcome full = session.LoadProject(false, test::Day("12/7/2006"));
  ASSERT_TRUE(full.written) << full.error;
  EXPECT_TRUE(session.full_report_shown);
  EXPECT_EQ(session.run().progress, 38);
  EXPECT_NE(full.page_path, summary.page_path);
  const std::string full_page = tf::test::ReadFile(full.page_path);
  EXPECT_NE(full_page.find("<a name='SessionsPerDay'>"), std::string::npos);
  EXPECT_TRUE(fs::exists(site.home() + "GUITemp/" + session.run().ChartFilePrefix +
                         "SessionsChart.jpg"));
  EXPECT_EQ(session.status_text, "Finished Loading");

  // A range without hits: the no-data page, the bar at 0, the flag kept.
  session.dates = {"02/01/2006", "02/07/2006"};
  RunOutcome empty = session.LoadProject(false, test::Day("12/7/2006"));
  ASSERT_TRUE(empty.written);
  EXPECT_EQ(session.run().progress, 0);
  EXPECT_TRUE(session.full_report_shown);
  EXPECT_NE(tf::test::ReadFile(empty.page_path).find("There is no data"), std::string::npos);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST(OptionsTest, CountsReadFromBoxes) {
  struct Case {
    const char* text;
    std::optional<int> count;
  };
  const Case cases[] = {{"0", 0}, {"29999", 29999}, {"30000", std::nullopt},
                        {"-1", std::nullopt}, {"abc", std::nullopt}, {"", std::nullopt},
                        {" 12 ", 12}, {"1.5", std::nullopt}, {"1e3", std::nullopt},
                        {"7; drop table x", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(ReadTopCount(c.text), c.count) << c.text;
}

// The Top rows of a database, as "name=value" in name order.
std::vector<std::string> TopRows(const std::string& path) {
  db::Connection database;
  database.Open(path);
  db::Recordset rs = database.OpenRecordset(
      "select name, integervalue from tblsettingsinteger where name like 'Top*' or name = "
      "'GlobalTopSettings' order by name");
  std::vector<std::string> rows;
  if (rs.RecordCount() == 0) return rows;
  for (rs.MoveFirst(); !rs.IsEof(); rs.MoveNext()) {
    rows.push_back(rs.Field("name").ToString() + "=" + rs.Field("integervalue").ToString());
  }
  return rows;
}

TEST(OptionsTest, RowsGoIntoTheChosenDatabaseAndTheFlagIntoTheProjectsDatabase) {
  ReportSite site;
  site.SiteInteger("TopSpiders", 3);
  site.ProjectsInteger("TopSpiders", 4);
  ViewerSession session(Home(site));
  session.LoadProjectCombo();
  TopNBoxes boxes;
  boxes[0] = "5";
  boxes[23] = "abc";
  boxes[24] = "0";
  SaveTopCounts(session.run(), Home(site), "Project0001.mdb", boxes, false);
  EXPECT_EQ(TopRows(site.home() + "Project0001.mdb"),
            (std::vector<std::string>{"TopOperatingSystems=5", "TopPaths=0"}));
  EXPECT_EQ(TopRows(site.home() + "Tallyfox.mdb"),
            (std::vector<std::string>{"GlobalTopSettings=0", "TopSpiders=4"}));
  EXPECT_EQ(session.run().TopNTable[0].count, "5");
  EXPECT_EQ(session.run().TopNTable[23].count, "20") << "a skipped box keeps its count";

  boxes = {};
  boxes[19] = "9";
  SaveTopCounts(session.run(), Home(site), "Project0001.mdb", boxes, true);
  EXPECT_EQ(TopRows(site.home() + "Tallyfox.mdb"),
            (std::vector<std::string>{"GlobalTopSettings=1", "TopSpiders=9"}));
  EXPECT_EQ(TopRows(site.home() + "Project0001.mdb"),
            (std::vector<std::string>{"TopOperatingSystems=5", "TopPaths=0"}));
  EXPECT_EQ(session.run().GlobalTopSettingsFlag, 1);
  // The flag is read back from where it was written.
  session.SelectProject(0);
  EXPECT_EQ(session.run().GlobalTopSettingsFlag, 1);
  EXPECT_EQ(session.run().TopNTable[19].count, "9");
  EXPECT_EQ(session.run().TopNTable[0].count, "20");

  // Every box empty: no Top rows are left, so the defaults come back.
  SaveTopCounts(session.run(), Home(site), "Project0001.mdb", {}, true);
  EXPECT_EQ(TopRows(site.home() + "Tallyfox.mdb"),
            std::vector<std::string>{"GlobalTopSettings=1"});
  EXPECT_THROW(SaveTopCounts(session.run(), Home(site), "", {}, false), std::exception);
}

class SaveReportTest : public testing::Test {
 protected:
  SaveReportTest() {
    fs::create_directories(work_);
    tf::test::WriteFile(work_ + "/4711-07122006-1.html",
                        "<a href=\"javascript:helppageopen(2)\"><img src='images/question1.gif' "
                        "border='0' alt='Click here for more information'></a>"
                        "<img src='4711-07122006-1-SessionsChart.jpg'>");
    tf::test::WriteFile(work_ + "/4711-07122006-1-SessionsChart.jpg", "jpg");
    tf::test::WriteFile(work_ + "/99-07122006-1-SessionsChart.jpg", "other run");
    fs::create_directories(out_);
  }
  ShownReport Shown() const { return {work_, "4711-07122006-1.html", "4711-07122006-1-"}; }

  tf::test::TempDir dir_;
  std::string work_ = dir_.File("GUITemp");
  std::string out_ = dir_.File("out");
};

TEST_F(SaveReportTest, PageAndPicturesTakeTheSaveName) {
  ScriptedBoxes boxes;
  EXPECT_EQ(SaveName("/x/week.html"), "week");
  EXPECT_EQ(SaveName("/x/a.b.html"), "a.b");
  EXPECT_EQ(SaveName("/x/plain"), "plain");
  EXPECT_EQ(SaveReportAs(Shown(), out_ + "/week.html"), SaveOutcome::kSaved);
  EXPECT_EQ(tf::test::ReadFile(out_ + "/week.html"),
            "<a href=\"javascript:helppageopen(2)\"></a><img src='week-SessionsChart.jpg'>\r\n");
  EXPECT_EQ(tf::test::ReadFile(out_ + "/week-SessionsChart.jpg"), "jpg");
  EXPECT_FALSE(fs::exists(out_ + "/week-99-07122006-1-SessionsChart.jpg"));
  EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Report saved as '" + out_ + "/week.html'"});
}

TEST_F(SaveReportTest, ExistingFileIsReplacedOnlyAfterYesAndFailuresAreTold) {
  tf::test::WriteFile(out_ + "/keep.html", "mine");
  {
    ScriptedBoxes boxes({kIdNo});
    EXPECT_EQ(SaveReportAs(Shown(), out_ + "/keep.html"), SaveOutcome::kKept);
    EXPECT_EQ(tf::test::ReadFile(out_ + "/keep.html"), "mine");
    EXPECT_EQ(boxes.boxes().at(0).caption, kFileExistsCaption);
    EXPECT_EQ(boxes.boxes().at(0).text,
              "'" + out_ + "/keep.html' already exists, do you want to overwrite?");
  }
  {
    ScriptedBoxes boxes({kIdYes});
    EXPECT_EQ(SaveReportAs(Shown(), out_ + "/keep.html"), SaveOutcome::kSaved);
    EXPECT_NE(tf::test::ReadFile(out_ + "/keep.html"), "mine");
  }
  ScriptedBoxes boxes;
  EXPECT_EQ(SaveReportAs(Shown(), dir_.File("missing/x.html")), SaveOutcome::kFailed);
  ASSERT_EQ(boxes.texts().size(), 1u);
  EXPECT_EQ(boxes.texts()[0].rfind("The report could not be saved as", 0), 0u);
}

void SetAge(const std::string& path, std::time_t now, int days) {
  const auto when = std::chrono::system_clock::from_time_t(now) - std::chrono::hours(24 * days);
  fs::last_write_time(path, std::chrono::file_clock::from_sys(when));
}

TEST(WorkFolderTest, OldFilesGoLinksAndFoldersStay) {
  tf::test::TempDir dir;
  const std::string work = dir.File("GUITemp");
  fs::create_directories(work + "/images");
  // Noon, so whole days back are whole calendar days back in any zone.
  std::tm noon{};
  noon.tm_year = 107;
  noon.tm_mon = 5;
  noon.tm_mday = 15;
  noon.tm_hour = 12;
  noon.tm_isdst = -1;
  const std::time_t now = std::mktime(&noon);
  for (const auto& [name, days] :
       std::vector<std::pair<std::string, int>>{{"today.html", 0}, {"two.jpg", 2}, {"three.jpg", 3}}) {
    tf::test::WriteFile(work + "/" + name, "x");
    SetAge(work + "/" + name, now, days);
  }
  const std::string outside = dir.File("outside.txt");
  tf::test::WriteFile(outside, "keep");
  SetAge(outside, now, 30);
  fs::create_symlink(outside, work + "/link.txt");
  SetAge(work + "/images", now, 30);

  EXPECT_EQ(CleanUpWorkFolder(work, now), 1);
  EXPECT_TRUE(fs::exists(work + "/today.html"));
  EXPECT_TRUE(fs::exists(work + "/two.jpg"));
  EXPECT_FALSE(fs::exists(work + "/three.jpg"));
  EXPECT_TRUE(fs::is_symlink(work + "/link.txt"));
  EXPECT_TRUE(fs::exists(outside));
  EXPECT_TRUE(fs::exists(work + "/images"));

  // A work folder that is itself a link is not cleaned.
  fs::create_directories(dir.File("elsewhere"));
  tf::test::WriteFile(dir.File("elsewhere/old.jpg"), "x");
  SetAge(dir.File("elsewhere/old.jpg"), now, 30);
  fs::create_directory_symlink(dir.File("elsewhere"), dir.File("linked"));
  EXPECT_EQ(CleanUpWorkFolder(dir.File("linked"), now), 0);
  EXPECT_TRUE(fs::exists(dir.File("elsewhere/old.jpg")));
}

TEST(HelpTopicTest, LinksAndPages) {
  struct Case {
    const char* address;
    bool cancel;
    std::optional<int> topic;
  };
  const Case cases[] = {
      {"JAVASCRIPT:HELPPAGEOPEN(12)", true, 12},
      {"javascript:helppageopen(32)", true, 32},
      {"javascript:void(0)", true, std::nullopt},
      {"javascript:helppageopen()", true, std::nullopt},
      {"javascript:helppageopen(99999)", true, std::nullopt},
      {"file:///x/report.html#Domains", false, std::nullopt},
  };
  for (const Case& c : cases) {
    HelpLink link = ReadHelpLink(c.address);
    EXPECT_EQ(link.cancel, c.cancel) << c.address;
    EXPECT_EQ(link.topic, c.topic) << c.address;
  }
  ReportSite site;
  const std::string page = WriteHelpTopic(Home(site), site.home() + "GUITemp", 2);
  EXPECT_EQ(page, site.home() + "GUITemp/HelpPage.html");
  const std::string text = tf::test::ReadFile(page);
  EXPECT_NE(text.find("<title>Tallyfox - "), std::string::npos);
  WriteHelpTopic(Home(site), site.home() + "GUITemp", 3);
  EXPECT_NE(tf::test::ReadFile(page), text) << "the file holds only the last topic";
  EXPECT_THROW(WriteHelpTopic(Home(site), site.home() + "GUITemp", 999), std::exception);
}

class FakeDesktop : public DesktopWindows {
 public:
  bool RaiseWindowTitled(const std::string& title) override {
    asked_title = title;
    return window_exists;
  }
  bool StartProgram(const std::string& path) override {
    started = path;
    return can_start;
  }
  bool window_exists = false, can_start = true;
  std::string asked_title, started;
};

TEST(ConsoleLinkTest, RaisesTheConsoleByTitleOrStartsIt) {
  FakeDesktop desktop;
  desktop.window_exists = true;
  EXPECT_EQ(BringUpConsole(desktop, "/opt/tallyfox"), ConsoleOutcome::kRaised);
  EXPECT_EQ(desktop.asked_title, "Tallyfox website log file analysis");
  EXPECT_EQ(desktop.started, "");
  desktop.window_exists = false;
  EXPECT_EQ(BringUpConsole(desktop, "/opt/tallyfox"), ConsoleOutcome::kStarted);
  EXPECT_EQ(desktop.started, "/opt/tallyfox/Tallyfox");
  desktop.can_start = false;
  EXPECT_EQ(BringUpConsole(desktop, "/opt/tallyfox"), ConsoleOutcome::kFailed);
}

TEST(AnalysisTreeTest, FortyNodesUnderSixRoots) {
  std::span<const TreeNode> nodes = AnalysisTreeNodes();
  EXPECT_EQ(nodes.size(), 40u);
  EXPECT_TRUE(nodes.front().root);
  EXPECT_EQ(std::count_if(nodes.begin(), nodes.end(), [](const TreeNode& n) { return n.root; }), 6);
  EXPECT_STREQ(nodes[38].key, "Techincal");
}

}  // namespace
}  // namespace tf::viewer
