// The section routines on a small site database, with a chart object that
// logs its calls: bucket walks, ranked tables and the Top-N counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "report/report_builder.h"
#include "tests/report/fake_chart.h"
#include "tests/report/report_site.h"

namespace tf::report::test {
namespace {

class SectionsTest : public testing::Test {
 protected:
  explicit SectionsTest(PageVariant variant = PageVariant::Generator()) : builder_(variant) {
    chart_ = new FakeChart;
    builder_.ChartObject = com::ComPtr<com::IDispatch>(chart_);
    builder_.HomeFolder = site_.home();
    builder_.CurrentDatabaseName = "Project0001.mdb";
    builder_.OutputFolder = site_.out();
    builder_.ChartFilePrefix = "t-";
    std::filesystem::create_directories(site_.out() + "/chart");
    builder_.DeclareGlobalVars();
    builder_.GetProjectInfo();
  }

  void Range(const std::string& from, const std::string& to, int days) {
    builder_.FromDate = from;
    builder_.ToDate = to;
    builder_.DayCount = days;
  }
  void Series(const std::string& unit, int low, int high) {
    builder_.TimeUnit = unit;
    builder_.SectionTitle = "Hits Per " + unit;
    builder_.ColumnHeader = builder_.AxisTitle = "Hits";
    builder_.SumColumn = "hits";
    builder_.CategoryLow = static_cast<std::int16_t>(low);
    builder_.CategoryHigh = static_cast<std::int16_t>(high);
    builder_.BucketCount = "24";
    builder_.BarColour = builder_.ChartColors[0].ToString();
    builder_.ChartFile = "t-series.jpg";
  }
  void Ranked(int low, int high, int count, const std::string& chart = "") {
    builder_.SectionTitle = "Browsers";
    builder_.SectionKey = "Browsers";
    builder_.ColumnHeader = "Hits";
    builder_.HelpLink = "javascript:helppageopen(10)";
    builder_.CategoryLow = static_cast<std::int16_t>(low);
    builder_.CategoryHigh = static_cast<std::int16_t>(high);
    builder_.TopColumn = "hits";
    builder_.TopCount = static_cast<std::int16_t>(count);
    builder_.ShowPercent = 1;
    builder_.ChartFile = chart;
    builder_.ChartKind = chart.empty() ? "" : "pie";
  }

  // Calls of the chart object whose text begins with `prefix`.
  std::vector<std::string> Calls(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : chart_->calls()) {
      if (call.rfind(prefix, 0) == 0) found.push_back(call);
    }
    return found;
  }
  static int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
      ++n;
    }
    return n;
  }
  int BucketRows() const { return Count(builder_.PageHtml, " <tr bgcolor='"); }

  ReportSite site_;
  ReportBuilder builder_;
  FakeChart* chart_;
};

TEST_F(SectionsTest, DayWalkShowsEveryDayAndLabelsEverySixthBar) {
  site_.Day("1/3/2006", 101, 0, 30);
  site_.Day("1/10/2006", 101, 0, 10);
  Range("1/1/2006", "1/30/2006", 30);
  Series("Day", 101, 109);
  builder_.Query_Day();

  EXPECT_EQ(builder_.CurrentStep, -2145);
  EXPECT_EQ(BucketRows(), 30);
  EXPECT_EQ(Calls("Bar3dBegin").at(0), "Bar3dBegin(0,0,500,400,30,1,1,1)");
  EXPECT_EQ(Calls("Bar3dSetColumnLabel"),
            (std::vector<std::string>{"Bar3dSetColumnLabel(1/6/2006,5)",
                                      "Bar3dSetColumnLabel(1/12/2006,11)",
                                      "Bar3dSetColumnLabel(1/18/2006,17)",
                                      "Bar3dSetColumnLabel(1/24/2006,23)",
                                      "Bar3dSetColumnLabel(1/30/2006,29)"}));
  const std::string& page = builder_.PageHtml;
  EXPECT_NE(page.find(" 1/3/2006 </td><td align=right><font class='text_normal'> 30 </td>"),
            std::string::npos);
  EXPECT_NE(page.find("<font class='text_normal'> 75%</font>"), std::string::npos);
  EXPECT_NE(page.find("<img src='chart/t-series.jpg'>"), std::string::npos);
  EXPECT_EQ(Calls("Bar3dSetBarValue").at(2), "Bar3dSetBarValue(30,2,0,0,0)");
  EXPECT_TRUE(std::filesystem::exists(site_.out() + "/chart/t-series.jpg"));
}

TEST_F(SectionsTest, HourOfDayAndWeekdayWalks) {
  site_.Hour("1/3/2006 15:00:00", 101, 12);
  Range("1/3/2006", "1/3/2006", 1);
  Series("Hour", 101, 109);
  builder_.Query_Hourly();
  EXPECT_EQ(BucketRows(), 24);
  EXPECT_NE(builder_.PageHtml.find("<td>  <font class='text_normal'> 3 PM  </td>"), std::string::npos);
  EXPECT_NE(builder_.PageHtml.find("<font class='text_normal'>100%</font>"), std::string::npos);
  std::vector<std::string> labels = Calls("Bar3dSetColumnLabel");
  EXPECT_EQ(labels, (std::vector<std::string>{
                        "Bar3dSetColumnLabel(3 AM,3)", "Bar3dSetColumnLabel(7 AM,7)",
                        "Bar3dSetColumnLabel(11 AM,11)", "Bar3dSetColumnLabel(3 PM,15)",
                        "Bar3dSetColumnLabel(7 PM,19)", "Bar3dSetColumnLabel(11 PM,23)"}));

  // The weekday walk over a range without hourly rows: seven zero buckets,
  // each bar in its own colour of the rotation (entries 1 to 5, 0, 1).
  builder_.PageHtml.clear();
  Range("1/10/2006", "1/10/2006", 1);
  Series("Week", 101, 109);
  builder_.BucketCount = "7";
  builder_.BarColour = "rotate";
  builder_.Query_Hourly();
  EXPECT_EQ(builder_.CurrentStep, -2125);
  EXPECT_EQ(BucketRows(), 7);
  std::vector<std::string> colours = Calls("Bar3dSetBarColor");
  ASSERT_EQ(colours.size(), 24u + 7u);
  const int expected[] = {1, 2, 3, 4, 5, 0, 1};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(colours[24 + i], "Bar3dSetBarColor(" + builder_.ChartColors[expected[i]].ToString() +
                                   "," + std::to_string(i) + ",0,0,0)");
  }
  EXPECT_EQ(Calls("Bar3dSetColumnLabel").back(), "Bar3dSetColumnLabel(Sat,6)");
}

TEST_F(SectionsTest, PictureReferenceNamesItsFileWhateverTheReportName) {
  // Report names may hold blanks, quotes and '#': the reference still names
  // the file and cannot end its attribute.
  Range("1/3/2006", "1/3/2006", 1);
  Series("Hour", 101, 109);
  builder_.ChartFile = "Joe's #1 <x>-series.jpg";
  builder_.Query_Hourly();
  EXPECT_NE(builder_.PageHtml.find("<img src='chart/Joe%27s%20%231%20%3Cx%3E-series.jpg'>"),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(site_.out() + "/chart/Joe's #1 <x>-series.jpg"));
}

TEST_F(SectionsTest, LongWalksWithoutRowsShowZeroBuckets) {
  struct Case {
    const char* unit;
    const char* to;
    int days;
    int buckets;
    const char* first_label;
  };
  const Case cases[] = {
      {"Week", "2/14/2006", 45, 7, " 1/1/2006"},     // Sundays 1/8 ... 2/12, plus one
      {"Month", "3/31/2006", 90, 3, " Jan 2006"},
      {"Year", "1/5/2009", 1101, 4, " 1/1/2006"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.unit);
    builder_.PageHtml.clear();
    Range("1/1/2006", c.to, c.days);
    Series(c.unit, 101, 109);
    ASSERT_NO_THROW(builder_.Query_Day());
    EXPECT_EQ(BucketRows(), c.buckets);
    EXPECT_NE(builder_.PageHtml.find(std::string("<font class='text_normal'>") + c.first_label),
              std::string::npos);
    EXPECT_EQ(builder_.BucketCount, std::to_string(c.buckets));
  }
}

TEST_F(SectionsTest, WeekWalkStartsAtTheFirstWeekWithRowsAndCrossesNewYear) {
  site_.Day("1/18/2006", 101, 0, 4);  // week 3, which starts on Sunday 1/15
  site_.Day("2/1/2006", 101, 0, 6);   // week 5
  Range("1/1/2006", "2/14/2006", 45);
  Series("Week", 101, 109);
  builder_.Query_Day();
  const std::string& page = builder_.PageHtml;
  EXPECT_EQ(BucketRows(), 7);
  std::size_t first = page.find(" 1/15/2006 </td>");
  std::size_t second = page.find(" 1/29/2006 </td>");
  ASSERT_NE(first, std::string::npos);
  ASSERT_NE(second, std::string::npos);
  EXPECT_NE(page.find("> 4 </td>", first), std::string::npos);
  EXPECT_NE(page.find("> 6 </td>", second), std::string::npos);

  // Weeks across New Year stay in order; the week from Sunday 12/31/2006
  // holds the days on both sides.
  site_.Day("12/12/2006", 101, 0, 3);
  site_.Day("12/31/2006", 101, 0, 1);
  site_.Day("1/2/2007", 101, 0, 2);
  site_.Day("1/16/2007", 101, 0, 7);
  builder_.PageHtml.clear();
  Range("12/1/2006", "1/20/2007", 51);
  builder_.Query_Day();
  const std::string& crossing = builder_.PageHtml;
  EXPECT_EQ(BucketRows(), 8);
  for (const char* week : {" 12/10/2006 </td>", " 12/31/2006 </td>", " 1/14/2007 </td>"}) {
    EXPECT_NE(crossing.find(week), std::string::npos) << week;
  }
  EXPECT_NE(crossing.find("> 3 </td>", crossing.find(" 12/10/2006 </td>")), std::string::npos);
  EXPECT_NE(crossing.find("> 3 </td>", crossing.find(" 12/31/2006 </td>")), std::string::npos);
  EXPECT_NE(crossing.find("> 7 </td>", crossing.find(" 1/14/2007 </td>")), std::string::npos);
}

TEST_F(SectionsTest, RankedTableTiesNamesAndPie) {
  Range("1/1/2006", "1/7/2006", 7);
  const std::string long_name(85, 'n');
  const std::string utf8_name = std::string(79, 'u') + "\xC3\xA9\xC3\xA9";  // 81 characters
  const std::pair<std::string, int> items[] = {
      {"Alpha", 9}, {"<b>Beta</b>", 8}, {long_name, 6}, {std::string(79, 'w'), 5},
      {utf8_name, 5}, {"Zeta", 5}, {"Eta", 1}};
  for (const auto& [name, hits] : items) site_.Day("1/2/2006", 405, site_.Item(405, name), hits);

  Ranked(405, 405, 4, "t-Browser.jpg");
  builder_.Referring_Info();
  const std::string& page = builder_.PageHtml;
  // Positions 0 to 4 are shown: the fourth place is a tie of three.
  EXPECT_EQ(Count(page, "<tr bgcolor='"), 1 + 5);
  EXPECT_NE(page.find("Top 4&nbsp;Browsers"), std::string::npos);
  EXPECT_NE(page.find("&lt;b&gt;Beta&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(page.find("<b>Beta"), std::string::npos);
  EXPECT_NE(page.find(std::string(80, 'n') + "...</font>"), std::string::npos);
  // Shares are of all the rows the statement returned (38 hits).
  EXPECT_NE(page.find("<font class='text_normal'>24%</font>"), std::string::npos);
  // The first row has the second row colour.
  EXPECT_NE(page.find("<tr bgcolor='" + builder_.StatsBackgroundColor2 +
                      "'><td><font class='text_normal'>Alpha"),
            std::string::npos);
  EXPECT_LT(page.find("<a name='Browsers'><tr><td colspan=10><center><img "
                      "src='chart/t-Browser.jpg'>"),
            page.find("<table class='box'"));
  EXPECT_EQ(Calls("Pie3dSetSliceValue").size(), 5u);
  EXPECT_EQ(Calls("LegendSetItemText(" + long_name + ",3,1)").size(), 1u);
  EXPECT_EQ(builder_.CurrentStep, -2155);
  EXPECT_TRUE(std::filesystem::exists(site_.out() + "/chart/t-Browser.jpg"));

  // Names shorter than the limit show whole; a UTF-8 name is cut on a
  // character boundary.
  builder_.PageHtml.clear();
  Ranked(405, 405, 20);
  builder_.Referring_Info();
  EXPECT_EQ(Count(builder_.PageHtml, "<tr bgcolor='"), 1 + 7);
  EXPECT_NE(builder_.PageHtml.find(std::string(79, 'w') + "</font>"), std::string::npos);
  EXPECT_NE(builder_.PageHtml.find(std::string(79, 'u') + "\xC3\xA9...</font>"),
            std::string::npos);

  // A count of 0 hides the section without touching the database.
  builder_.PageHtml.clear();
  Ranked(405, 405, 0);
  builder_.CurrentDatabaseName = "missing.mdb";
  builder_.Referring_Info();
  EXPECT_EQ(builder_.PageHtml, "");
}

TEST_F(SectionsTest, SumsTakeEveryRowOfTheRangeWhateverItsTimeOfDay) {
  site_.Day("12/31/2005", 1, 0, 1);
  site_.Day("1/1/2006", 1, 0, 10);
  site_.Day("1/3/2006 13:00:00", 1, 0, 100);
  site_.Day("1/7/2006", 1, 0, 1000);
  site_.Day("1/7/2006 00:00:01", 1, 0, 5000);  // after the start of the last day
  site_.Day("1/8/2006", 1, 0, 20000);
  site_.Day("1/3/2006", 2, 0, 300000);
  struct Case {
    const char* from;
    const char* to;
    int low, high;
    const char* sum;
  };
  const Case cases[] = {
      {"1/1/2006", "1/7/2006", 1, 1, "1110"},      {"1/2/2006", "1/6/2006", 1, 1, "100"},
      {"1/1/2006", "1/7/2006", 1, 2, "301110"},    {"12/31/2005", "1/8/2006", 1, 1, "26111"},
      {"1/7/2006", "1/7/2006", 1, 1, "1000"},      {"2/1/2006", "2/7/2006", 1, 2, "0"},
      {"1/4/2006", "1/6/2006", 1, 2, "0"},
  };
  for (const Case& c : cases) {
    Range(c.from, c.to, 7);
    builder_.TotalColumn = "hits";
    builder_.CategoryLow = static_cast<std::int16_t>(c.low);
    builder_.CategoryHigh = static_cast<std::int16_t>(c.high);
    builder_.Query_Sum();
    EXPECT_EQ(builder_.SumResult, c.sum) << c.from << " - " << c.to << " " << c.low;
  }
}

TEST_F(SectionsTest, VisitingDomains) {
  Range("1/1/2006", "1/7/2006", 7);
  site_.Visitor("1/2/2006", "10.0.0.1", 1000);
  site_.Visitor("1/3/2006", "10.0.0.2", 234);
  site_.Visitor("1/3/2006", "10.0.0.3", 3766);
  site_.Visitor("1/3/2006", "10.0.0.4", 50);  // not translated yet: left out
  site_.Visitor("1/8/2006", "10.0.0.2", 7000);  // after the range
  site_.Domain("10.0.0.1", "host.example.com");
  site_.Domain("10.0.0.2", "host.example.com");
  site_.Domain("10.0.0.3", "10.0.0.3");
  Ranked(0, 0, 20);
  builder_.SectionTitle = "Visiting Domains";
  builder_.Report_Domains();
  const std::string& page = builder_.PageHtml;
  EXPECT_NE(page.find("host.example.com</font></td><td align=right><font "
                      "class='text_normal'>1,234.00</font>"),
            std::string::npos);
  EXPECT_NE(page.find(">25%</font>"), std::string::npos);
  EXPECT_NE(page.find(">10.0.0.3</font>"), std::string::npos);

  // Hits that add up to 0 give shares of 0 instead of a division by zero.
  site_.site().Execute("UPDATE tblVisitors SET Hits = 0");
  builder_.PageHtml.clear();
  ASSERT_NO_THROW(builder_.Report_Domains());
  EXPECT_EQ(Count(builder_.PageHtml, ">0%</font>"), 2);
}

TEST_F(SectionsTest, TargetsErrorsAndPaths) {
  Range("1/1/2006", "1/7/2006", 7);
  const std::string long_page = "/" + std::string(99, 'p');
  int buy = site_.Item(1, "/buy.html");
  int none = site_.Item(1, "(none)");
  int page = site_.Item(1, long_page);
  int phrase = site_.Item(402, "cheap <widgets>");
  site_.TargetHit("1/2/2006", buy, phrase, 2, 3);
  site_.TargetHit("1/2/2006", none, phrase, 9, 9);
  site_.HitStatus("1/3/2006", 404, page, 5);
  site_.HitStatus("1/3/2006", 500, page, 2);
  for (int status : {301, 302, 303}) site_.HitStatus("1/3/2006", status, buy, 1);
  site_.Path("1/2/2006", page, buy, 7);
  site_.Path("1/2/2006", buy, 9999, 3);  // next page without a name
  site_.Path("1/2/2006", buy, page, 1);

  builder_.TopCount = 3;
  builder_.HelpLink = "javascript:helppageopen(30)";
  builder_.Report_Target();
  std::string targets = builder_.PageHtml;
  EXPECT_EQ(Count(targets, "Target Page - "), 1);
  EXPECT_NE(targets.find("Target Page - /buy.html"), std::string::npos);
  EXPECT_NE(targets.find("cheap &lt;widgets&gt;"), std::string::npos);
  EXPECT_NE(targets.find("&nbsp;&nbsp;&nbsp;&nbsp;67%</font>"), std::string::npos);

  builder_.PageHtml.clear();
  builder_.SectionTitle = "Server Errors";
  builder_.Report_Errors();
  const std::string errors = builder_.PageHtml;
  EXPECT_EQ(Count(errors, "<tr bgcolor="), 1 + 4);  // three tied 1-hit rows after two
  EXPECT_LT(errors.find(">404<"), errors.find(">500<"));
  EXPECT_NE(errors.find(long_page.substr(0, 80) + "</font>"), std::string::npos);

  builder_.PageHtml.clear();
  builder_.TopCount = 10;
  builder_.SectionTitle = "Paths";
  builder_.Paths_Info();
  const std::string paths = builder_.PageHtml;
  EXPECT_EQ(Count(paths, "<tr bgcolor="), 1 + 2 * 3);
  EXPECT_NE(paths.find(long_page + "</font>"), std::string::npos);
  EXPECT_NE(paths.find("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</font>"), std::string::npos);

  // A count of 0 leaves the errors and paths out; the target pages keep
  // their headings, with the phrases the top-0 statement gives.
  builder_.PageHtml.clear();
  builder_.TopCount = 0;
  builder_.Report_Errors();
  builder_.Paths_Info();
  EXPECT_EQ(builder_.PageHtml, "");
  builder_.Report_Target();
  EXPECT_EQ(Count(builder_.PageHtml, "Target Page - /buy.html"), 1);
  EXPECT_EQ(Count(builder_.PageHtml, "</table><p>"), 1);
}

TEST_F(SectionsTest, TopNCounts) {
  auto count = [this](int position) { return builder_.TopNTable[position].count; };
  builder_.GetProjectInfoBrief();
  EXPECT_EQ(count(0), "20");
  EXPECT_EQ(count(24), "10");

  site_.SiteInteger("TopPaths", 5);
  site_.SiteInteger("TopBrowsers", 0);
  site_.SiteInteger("topvisitingdomains", 3);  // another letter case: no setting
  site_.SiteInteger("TopSomethingElse", 7);
  builder_.GetProjectInfoBrief();
  EXPECT_EQ(builder_.CurrentStep, -2235);
  EXPECT_EQ(count(24), "5");
  EXPECT_EQ(count(2), "0");
  EXPECT_EQ(count(22), "20");

  // With the projects database's flag set, only its rows count, and every
  // load starts again from the defaults.
  site_.ProjectsInteger("GlobalTopSettings", 1);
  site_.ProjectsInteger("TopServerErrors", 4);
  builder_.GetProjectInfoBrief();
  EXPECT_EQ(builder_.GlobalTopSettingsFlag, 1);
  EXPECT_EQ(count(23), "4");
  EXPECT_EQ(count(24), "10");
  EXPECT_EQ(count(2), "20");
}

// The whole page, written once with the sections' queries read ahead and
// once without: the same page, and every query read ahead is one a section
// asked for (a plan that drifted from the sections would be read for
// nothing, and the sections would read their rows again).
TEST_F(SectionsTest, PageReadAheadIsThePageReadInTurn) {
  const int page = site_.Item(1, "/a.html");
  const int buy = site_.Item(1, "/buy.html");
  const int phrase = site_.Item(402, "widgets");
  const int browser = site_.Item(405, "Browser 1");
  for (const char* day : {"1/2/2006", "1/3/2006", "1/5/2006"}) {
    site_.Day(day, 101, 0, 40, 4000, 0, 0);
    site_.Day(day, 201, 0, 6, 0, 0, 600);
    site_.Day(day, 202, 0, 4);
    site_.Day(day, 1, page, 30, 3000, 5, 500, 4, 2);
    site_.Day(day, 1, buy, 10, 1000, 2, 100, 1, 3);
    site_.Day(day, 402, phrase, 3, 0, 3);
    site_.Day(day, 405, browser, 6, 0, 6);
    site_.Hour(std::string(day) + " 10:00:00", 101, 40);
    site_.Visitor(day, "10.0.0.1", 25);
    site_.Visitor(day, "10.0.0.2", 15);
    site_.TargetHit(day, buy, phrase, 2, 3);
    site_.HitStatus(day, 404, page, 5);
    site_.Path(day, page, buy, 7);
  }
  site_.Domain("10.0.0.1", "one.example.com");
  site_.Domain("10.0.0.2", "two.example.com");

  auto write_page = [this](unsigned threads) {
    ReportBuilder builder;
    builder.ChartObject = com::ComPtr<com::IDispatch>(new FakeChart);
    builder.HomeFolder = site_.home();
    builder.CurrentDatabaseName = "Project0001.mdb";
    builder.OutputFolder = site_.out();
    builder.ChartFilePrefix = "t-";
    builder.DeclareGlobalVars();
    builder.GetProjectInfo();
    builder.GetProjectInfoBrief();
    builder.FromDate = "1/1/2006";
    builder.ToDate = "1/7/2006";
    builder.DayCount = 7;
    builder.SetReadAheadThreads(threads);
    builder.WriteReportBody(false);
    return std::make_pair(builder.PageHtml, builder.read_ahead_use());
  };
  const auto [in_turn, none] = write_page(0);
  const auto [ahead, use] = write_page(2);
  EXPECT_EQ(ahead, in_turn);
  EXPECT_EQ(none.queued, 0u);
  EXPECT_GT(use.queued, 20u);
  EXPECT_EQ(use.taken, use.queued);
  EXPECT_NE(in_turn.find("one.example.com"), std::string::npos);
  EXPECT_NE(in_turn.find("Target Page - /buy.html"), std::string::npos);
}

class ViewerSectionsTest : public SectionsTest {
 protected:
  ViewerSectionsTest() : SectionsTest(PageVariant::Viewer("GUITemp")) {}
};

TEST_F(ViewerSectionsTest, PicturesBesideThePageAndAnchors) {
  std::filesystem::create_directories(site_.out() + "/GUITemp");
  site_.Day("1/2/2006", 101, 0, 5);
  Range("1/1/2006", "1/7/2006", 7);
  Series("Day", 101, 109);
  builder_.SectionKey = "HitsPerDay";
  builder_.Query_Day();
  EXPECT_NE(builder_.PageHtml.find("<center><a name='HitsPerDay'><img src='t-series.jpg'>"),
            std::string::npos);
  EXPECT_NE(builder_.PageHtml.find("alt='Click here"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(site_.out() + "/GUITemp/t-series.jpg"));
}

TEST_F(ViewerSectionsTest, ErrorsAndPathsHeadingsCarryOneAnchorInTheirFirstCell) {
  Range("1/1/2006", "1/7/2006", 7);
  const int page = site_.Item(1, "/a.html");
  site_.HitStatus("1/3/2006", 404, page, 5);
  site_.Path("1/2/2006", page, page, 7);
  builder_.TopCount = 5;
  builder_.ColumnHeader = "Hits";
  builder_.HelpLink = "javascript:helppageopen(31)";
  builder_.SectionKey = "ServerErrors";
  builder_.SectionTitle = "Server Errors";
  builder_.Report_Errors();
  const std::string help =
      "> <img src='images/question1.gif' border='0' alt='Click here for more information'></a>";
  EXPECT_EQ(builder_.PageHtml.rfind("<table class='box' width=100% cellspacing=0><tr bgcolor='#" +
                                        builder_.StatsHeaderBackgroundColor +
                                        "'><td> <a name='ServerErrors'><font class='stats_header'>"
                                        "Top 5&nbsp;Server Errors</font></td>",
                                    0),
            0u);
  EXPECT_NE(builder_.PageHtml.find(help), std::string::npos);
  EXPECT_EQ(Count(builder_.PageHtml, "<a name="), 1);

  builder_.PageHtml.clear();
  builder_.HelpLink = "javascript:helppageopen(32)";
  builder_.SectionKey = "TopPaths";
  builder_.SectionTitle = "Paths";
  builder_.Paths_Info();
  EXPECT_EQ(builder_.PageHtml.rfind(
                "<table class='box' width=100% cellspacing=0><tr bgcolor='#" +
                    builder_.StatsHeaderBackgroundColor +
                    "'><td><a name='TopPaths'><font class='stats_header'>Top 5&nbsp;Paths</font>"
                    "</td><td align='right'><font class='stats_header'>Hits</font><a "
                    "href=\"javascript:helppageopen(32)\"" + help + "</td></tr>",
                0),
            0u);
  EXPECT_EQ(Count(builder_.PageHtml, "<a name="), 1);

  builder_.PageHtml.clear();
  builder_.SectionKey = "TargetPages";
  builder_.Report_Target();
  EXPECT_EQ(Count(builder_.PageHtml, "<a name="), 0);
}

TEST_F(ViewerSectionsTest, NumberedFileNamesAndTheDomainOfTheBrief) {
  builder_.ReportName = "";
  builder_.RunNumber = 4711;
  builder_.RunDay = MakeDaySerial(2006, 12, 7);
  builder_.GetBaseFileName();
  EXPECT_EQ(builder_.ChartFilePrefix, "4711-07122006-1-");
  EXPECT_EQ(builder_.ReportFileName, "4711-07122006-1.html");
  builder_.ReportName = "week";
  builder_.GetBaseFileName();
  EXPECT_EQ(builder_.ReportFileName, "week.html");

  builder_.GetProjectInfoBrief();
  EXPECT_EQ(builder_.DomainName, "");
  site_.SiteString("DomainName", "www.example.com");
  builder_.GetProjectInfoBrief();
  EXPECT_EQ(builder_.DomainName, "www.example.com");
}

TEST_F(ViewerSectionsTest, AFailingDailyStepIsPassedOverAndTheSectionWritten) {
  std::filesystem::create_directories(site_.out() + "/GUITemp");
  Range("1/1/2006", "1/7/2006", 7);
  Series("Day", 101, 109);
  builder_.CurrentDatabaseName = "Missing.mdb";
  builder_.ChartObject = {};
  ASSERT_NO_THROW(builder_.Query_Day());
  EXPECT_EQ(BucketRows(), 7);
  EXPECT_NE(builder_.PageHtml.find("</td></tr></table></td></tr></table>"), std::string::npos);

  ReportBuilder generator;
  generator.CurrentDatabaseName = "Missing.mdb";
  generator.HomeFolder = site_.home();
  generator.FromDate = "1/1/2006";
  generator.ToDate = "1/7/2006";
  generator.TimeUnit = "Day";
  EXPECT_THROW(generator.Query_Day(), std::exception);
}

}  // namespace
}  // namespace tf::report::test
