// Batch mode in-process on a small site: the switches and their messages,
// the files it writes, and its page against the report generator's page for
// the same site and range.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "report/report_run.h"
#include "support/test_support.h"
#include "tests/report/report_site.h"
#include "tests/viewer/viewer_test_support.h"
#include "viewer/batch_mode.h"
#include "viewer/viewer_texts.h"

namespace tf::viewer {
namespace {

namespace fs = std::filesystem;
using report::test::ReportSite;
using test::ScriptedBoxes;

// January 2006 with a little of everything a report shows.
void FillJanuary(ReportSite& s) {
  const int home = s.Item(1, "/index.html");
  const int missing = s.Item(1, "/old.html");
  const int phrase = s.Item(402, "red widgets");
  const int browser = s.Item(405, "Firefox");
  for (int d = 1; d <= 31; d += 3) {
    const std::string date = "1/" + std::to_string(d) + "/2006";
    s.Day(date, 101, 0, 100 + d);
    s.Day(date, 201, 0, 10, 0, 0, 600);
    s.Day(date, 202, 0, 8);
    s.Day(date, 1, home, 60, 60000, 10, 1200, 8, 3);
    s.Day(date, 405, browser, 7);
  }
  s.Hour("1/3/2006 10:00:00", 101, 10);
  s.TargetHit("1/2/2006", home, phrase, 2, 3);
  s.Visitor("1/2/2006", "10.0.0.1", 1234);
  s.Domain("10.0.0.1", "host.example.com");
  s.HitStatus("1/4/2006", 404, missing, 5);
  s.Path("1/2/2006", home, missing, 7);
}

class BatchModeTest : public testing::Test {
 protected:
  BatchModeTest() { fs::create_directories(out_); }
  std::string Home() const {
    std::string home = site_.home();
    home.pop_back();
    return home;
  }
  int Run(const std::string& line) { return RunBatch(line, Home()); }

  ReportSite site_;
  tf::test::TempDir dir_;
  std::string out_ = dir_.File("Out Folder");
};

TEST_F(BatchModeTest, MissingSwitchesAndUnknownProjects) {
  struct Case {
    std::string line;
    std::string message;
  };
  const Case cases[] = {
      {"/p x /s 01/01/2006-01/31/2006", kMissingDestination},
      {"/d /tmp /s 01/01/2006-01/31/2006", kMissingProject},
      {"/d /tmp /p x", kMissingRange},
      {"/d /tmp /p nobody /c", "'nobody' is not a valid project name"},
  };
  for (const Case& c : cases) {
    ScriptedBoxes boxes;
    EXPECT_EQ(Run(c.line), 1) << c.line;
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{c.message}) << c.line;
  }
  ScriptedBoxes boxes;
  EXPECT_EQ(Run("/d /tmp /p \"Site A\" /s 01/01/2006"), 1) << "a range without '-'";
  EXPECT_EQ(Run("/d /tmp /p \"Site A\" /s 01/01/2006-02/30/2006"), 1);
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(RunBatch("/d /tmp /p x /c", ""), 1) << "no install folder";
  EXPECT_EQ(boxes.texts(), std::vector<std::string>{kSupportMissing});
}

TEST_F(BatchModeTest, JanuaryReportStraightIntoTheFolder) {
  FillJanuary(site_);
  ScriptedBoxes boxes;
  ASSERT_EQ(Run("/D \"" + out_ + "\" /P \"SITE A\" /S 01/01/2006-01/31/2006"), 0)
      << (boxes.texts().empty() ? "" : boxes.texts()[0]);
  EXPECT_TRUE(fs::exists(out_ + "/report.html"));
  EXPECT_TRUE(fs::exists(out_ + "/report-SessionsChart.jpg"));
  EXPECT_TRUE(fs::exists(out_ + "/images/question1.gif"));
  EXPECT_FALSE(fs::exists(out_ + "/chart"));
  const std::string page = tf::test::ReadFile(out_ + "/report.html");
  EXPECT_NE(page.find("Sun, Jan 1st, 2006-Tue, Jan 31st, 2006<br>31 Days"), std::string::npos);
  EXPECT_NE(page.find("<img src='report-SessionsChart.jpg'>"), std::string::npos);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(BatchModeTest, CurrentMonthTakesTheNamedProjectsLastLogDate) {
  FillJanuary(site_);
  // A first project in the list whose data ends in another month.
  fs::copy_file(site_.home() + "ProjectTemplate.mdb", site_.home() + "Project0002.mdb");
  {
    db::Connection projects;
    projects.Open(site_.home() + "Tallyfox.mdb");
    projects.Execute("INSERT INTO tblProjects (ProjectID, ProjectName, DatabaseName) VALUES (2, "
                     "'Aardvark', 'Project0002.mdb')");
    db::Connection other;
    other.Open(site_.home() + "Project0002.mdb");
    other.Execute("INSERT INTO tblDay (EntryDate, Category, ItemID, Hits) VALUES ('2006-03-05 "
                  "00:00:00', 101, 0, 1)");
  }
  ScriptedBoxes boxes;
  ASSERT_EQ(Run("/d \"" + out_ + "\" /p \"site a\" /s 01/01/2005-01/31/2005 /c /r month"), 0);
  const std::string page = tf::test::ReadFile(out_ + "/month.html");
  EXPECT_NE(page.find("Sun, Jan 1st, 2006-Tue, Jan 31st, 2006"), std::string::npos)
      << "/c wins over /s and takes Site A's dates";
}

TEST_F(BatchModeTest, NoPageWrittenIsAFailure) {
  FillJanuary(site_);
  ScriptedBoxes boxes;
  EXPECT_EQ(Run("/d " + dir_.File("missing") + " /p \"Site A\" /c"), 1);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, kReportErrorCaption);
  EXPECT_EQ(Run("/d \"" + out_ + "\" /p \"Site A\" /c /r ../escape"), 1);
  EXPECT_FALSE(fs::exists(dir_.File("escape.html")));
}

TEST(JoinArgumentsTest, OneLineOrQuotedPieces) {
  EXPECT_EQ(JoinArguments({"/d /tmp/x /p \"a b\" /c"}), "/d /tmp/x /p \"a b\" /c");
  EXPECT_EQ(JoinArguments({"/d", "/tmp/my out", "/p", "Site A", "/c"}),
            "/d \"/tmp/my out\" /p \"Site A\" /c");
}

// The documented differences between the two pages, taken out of both.
std::string WithoutViewerDifferences(std::string page) {
  const std::pair<const char*, const char*> rules[] = {
      {"<script language='javascript'>.*?</script>", ""},
      {" ?<a name='[A-Za-z]*'>", ""},
      {"src='chart/", "src='"},
      {"alt='Click here", "alt='click here"},
      {"border=0 alt=", "border='0' alt="},
      {"Tallyfox Desktop Interface v2\\.3", "Tallyfox Report Generator v2.3"},
      {"(<td align=right><font class='text_normal'>[0-9,]+)\\.00</font>", "$1</font>"},
      {"<td align='right'><font class='stats_header'>Hits</font></td><td colspan='2' "
       "align='right'>",
       "<td colspan='3' align='right'>"},
      {"<td align='right'><font class='stats_header'>Hits</font><a href", "<td align=right><a href"},
  };
  for (const auto& [pattern, replacement] : rules) {
    page = std::regex_replace(page, std::regex(pattern), replacement);
  }
  return page;
}

TEST_F(BatchModeTest, PageMatchesTheGeneratorsPageButForTheDocumentedDifferences) {
  FillJanuary(site_);
  site_.SiteString("DomainName", "www.example.com");
  ScriptedBoxes boxes;
  ASSERT_EQ(Run("/d \"" + out_ + "\" /p \"Site A\" /s 01/01/2006-01/31/2006"), 0);
  report::ReportRun generator;
  ASSERT_EQ(generator.LoadProject(com::Variant(site_.CommandLine("01/01/2006-01/31/2006", "report")))
                .ToInt32(),
            1);
  const std::string viewer_page = tf::test::ReadFile(out_ + "/report.html");
  const std::string generator_page = tf::test::ReadFile(site_.OutFile("report.html"));
  EXPECT_NE(viewer_page, generator_page);
  EXPECT_NE(viewer_page.find("1,234</font>"), std::string::npos);
  EXPECT_NE(generator_page.find("1,234.00</font>"), std::string::npos);
  EXPECT_EQ(WithoutViewerDifferences(viewer_page), WithoutViewerDifferences(generator_page));
}

}  // namespace
}  // namespace tf::viewer
