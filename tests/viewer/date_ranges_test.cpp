// The quick ranges on injected days, and the check before every report.
#include <gtest/gtest.h>

#include "tests/viewer/viewer_test_support.h"
#include "viewer/date_ranges.h"
#include "viewer/viewer_texts.h"

namespace tf::viewer {
namespace {

using test::Day;
using test::ScriptedBoxes;

int Position(std::string_view entry) {
  for (std::size_t i = 0; i < kQuickRanges.size(); ++i) {
    if (entry == kQuickRanges[i]) return static_cast<int>(i);
  }
  return -1;
}

TEST(QuickRangeTest, RangesOnChosenDays) {
  struct Case {
    const char* entry;
    const char* today;
    const char* from;
    const char* to;
  };
  const Case cases[] = {
      {"Today", "3/15/2007", "3/15/2007", "3/15/2007"},
      {"Yesterday", "3/1/2007", "2/28/2007", "2/28/2007"},
      // 3/17/2007 is a Saturday, 3/18/2007 a Sunday.
      {"This Week", "3/17/2007", "3/10/2007", "3/16/2007"},
      {"This Week", "3/18/2007", "3/17/2007", "3/23/2007"},
      {"Last Week", "3/14/2007", "3/3/2007", "3/9/2007"},
      {"This Month", "1/31/2007", "1/1/2007", "1/31/2007"},
      {"This Month", "2/10/2008", "2/1/2008", "2/29/2008"},
      {"Last Month", "4/15/2007", "3/1/2007", "3/31/2007"},
      {"Last Month", "3/31/2008", "2/1/2008", "2/29/2008"},
      {"Last Month", "1/5/2007", "12/1/2006", "12/31/2006"},
      {"Last 7 Days", "3/15/2007", "3/8/2007", "3/15/2007"},
      {"Last 14 Days", "3/15/2007", "3/1/2007", "3/15/2007"},
      {"Last 30 Days", "3/15/2007", "2/13/2007", "3/15/2007"},
      {"This Year", "3/15/2007", "1/1/2007", "3/15/2007"},
      {"Last Year", "1/1/2007", "1/1/2006", "12/31/2006"},
      {"Last Year", "12/31/2007", "1/1/2006", "12/31/2006"},
      {"Load All", "3/15/2007", "1/2/2006", "2/3/2006"},
  };
  const LogLabels logs{"1/2/2006", "2/3/2006"};
  for (const Case& c : cases) {
    std::optional<DayRange> range = QuickRange(Position(c.entry), Day(c.today), logs);
    ASSERT_TRUE(range) << c.entry;
    EXPECT_EQ(FieldText(range->from), FieldText(Day(c.from))) << c.entry << " on " << c.today;
    EXPECT_EQ(FieldText(range->to), FieldText(Day(c.to))) << c.entry << " on " << c.today;
  }
  EXPECT_FALSE(QuickRange(0, Day("3/15/2007"), logs));
  EXPECT_EQ(QuickRange(Position("Load All"), Day("3/15/2007"), {}), (DayRange{0, 0}));
}

TEST(QuickRangeTest, LastMonthIsTheWholeOfLastMonthInEveryMonth) {
  for (int year : {2007, 2008}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day : {1, 15, 28, 31}) {
        const DaySerial today = report::MakeDaySerial(year, month, 1) + day - 1;
        int y, m, d;
        report::SplitDaySerial(today, y, m, d);
        if (m != month) continue;
        std::optional<DayRange> range = QuickRange(Position("Last Month"), today, {});
        ASSERT_TRUE(range);
        int fy, fm, fd, ty, tm, td;
        report::SplitDaySerial(range->from, fy, fm, fd);
        report::SplitDaySerial(range->to + 1, ty, tm, td);
        EXPECT_EQ(fd, 1);
        EXPECT_EQ(td, 1) << "ends on the last day of its month";
        EXPECT_EQ(tm, month);
        EXPECT_EQ(fm, month == 1 ? 12 : month - 1);
        EXPECT_EQ(DaysInMonth(range->from), range->to - range->from + 1);
      }
    }
  }
}

TEST(QuickRangeTest, FieldTextsAndDaysInMonth) {
  EXPECT_EQ(FieldText(Day("5/9/2004")), "05/09/2004");
  EXPECT_EQ(FieldDate("05/19/2004"), Day("5/19/2004"));
  EXPECT_FALSE(FieldDate("13/45/2004"));
  EXPECT_FALSE(FieldDate(""));
  EXPECT_EQ(DaysInMonth(Day("2/14/2008")), 29);
  EXPECT_EQ(DaysInMonth(Day("1/31/2007")), 31);
  EXPECT_EQ(DaysInMonth(Day("4/30/2007")), 30);
}

class CheckRequestTest : public testing::Test {
 protected:
  LogLabels logs_{"1/1/2006", "1/31/2006"};
};

TEST_F(CheckRequestTest, ProjectWithoutDataPointsAtTheProjectEditor) {
  ScriptedBoxes boxes;
  DateFields fields{"01/01/2006", "01/07/2006"};
  RequestCheck check = CheckReportRequest("Site A", {"", "1/31/2006"}, fields);
  EXPECT_FALSE(check.ok);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text,
            "The project 'Site A' doesn't have any processed information. Please run the initial "
            "'analyze' scan through the 'Project Editor'");
  EXPECT_EQ(boxes.boxes()[0].caption, kNoInformationCaption);
  EXPECT_EQ(check.flash, std::vector<Attention>{Attention::kAddEditProjects});
}

TEST_F(CheckRequestTest, MissingDates) {
  {
    ScriptedBoxes boxes;
    DateFields fields;
    RequestCheck check = CheckReportRequest("Site A", logs_, fields);
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{kMissingRangeText});
    EXPECT_EQ(check.flash, (std::vector<Attention>{Attention::kDateFrom, Attention::kDateTo}));
  }
  {
    ScriptedBoxes boxes({kIdNo});
    DateFields fields{"01/05/2006", ""};
    RequestCheck check = CheckReportRequest("Site A", logs_, fields);
    EXPECT_FALSE(check.ok);
    EXPECT_TRUE(check.focus_end_date);
    EXPECT_EQ(boxes.boxes().at(0).caption, kMissingEndCaption);
  }
  {
    ScriptedBoxes boxes({kIdYes});
    DateFields fields{"01/05/2006", ""};
    EXPECT_TRUE(CheckReportRequest("Site A", logs_, fields).ok);
    EXPECT_EQ(fields.to, "01/05/2006");
  }
}

TEST_F(CheckRequestTest, InvalidDatesAreToldAndReversedDatesExchanged) {
  {
    ScriptedBoxes boxes;
    DateFields fields{"01/05/2006", "02/30/2006"};
    EXPECT_FALSE(CheckReportRequest("Site A", logs_, fields).ok);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"The date you entered '02/30/2006' is not "
                                                      "valid. The format required is mm/dd/yyyy"});
    EXPECT_EQ(boxes.boxes()[0].caption, kDateErrorCaption);
  }
  ScriptedBoxes boxes;
  DateFields fields{"01/20/2006", "01/05/2006"};
  EXPECT_TRUE(CheckReportRequest("Site A", logs_, fields).ok);
  EXPECT_EQ(fields.from, "01/05/2006");
  EXPECT_EQ(fields.to, "01/20/2006");
  EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
}  // namespace tf::viewer
