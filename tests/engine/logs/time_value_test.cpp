#include "engine/common/time_value.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "support/test_support.h"

namespace tf {
namespace {

// Sunday 2007-01-07 13:05:09.250, the example value of the formatter codes.
const TimeValue kExample = ComposeTime(2007, 1, 7, 13, 5, 9) + 0.25;

void UseFixedZone() {
  setenv("TZ", "EST5", 1);  // UTC-5, no daylight saving
  tzset();
}

TEST(CalendarTest, DayNumbersOfKnownDates) {
  struct Case {
    int y, m, d;
    std::int64_t day;
  };
  const Case cases[] = {
      {1, 1, 1, 365},        {100, 1, 1, 36524},    {1900, 1, 1, 693960},
      {1990, 1, 1, 726832},  {2007, 1, 1, 733041},  {2007, 1, 7, 733047},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DayNumber(c.y, c.m, c.d), c.day) << c.y << "-" << c.m << "-" << c.d;
  }
  // Consecutive days across leap and non-leap Februaries; day 31 of a
  // short month is the first of the next.
  EXPECT_EQ(DayNumber(2000, 3, 1) - DayNumber(2000, 2, 29), 1);
  EXPECT_EQ(DayNumber(1900, 3, 1) - DayNumber(1900, 2, 28), 1);
  EXPECT_EQ(DayNumber(2007, 4, 31), DayNumber(2007, 5, 1));
  EXPECT_EQ(DayNumber(2007, 1, 7) % 7, 0);  // a Sunday
  EXPECT_EQ(ComposeTime(2007, 1, 1, 0, 0, 0), 63334742400.0);
  EXPECT_EQ(ComposeTime(2007, 13, 1, 1, 2, 3), 3723.0);  // invalid date: time of day only
  EXPECT_EQ(ComposeDate(2007, 0, 1), 0.0);
}

TEST(CalendarTest, SplitDateInvertsTheDayNumber) {
  // Every 13th day from year 1 to 2100 and the days around century years.
  for (std::int64_t n = 365; n < DayNumber(2100, 12, 31); n += 13) {
    TimeValue t = static_cast<double>(n) * kSecondsPerDay;
    int y, m, d;
    SplitDate(t, y, m, d);
    ASSERT_EQ(DayNumber(y, m, d), n) << y << "-" << m << "-" << d;
    ASSERT_GE(d, 1);
  }
  int y, m, d;
  SplitDate(ComposeDate(1899, 12, 31), y, m, d);
  EXPECT_EQ((std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d)), "1899-12-31");
  SplitDate(ComposeDate(100, 1, 1), y, m, d);
  EXPECT_EQ((std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d)), "100-1-1");
  SplitDate(ComposeDate(2000, 12, 31), y, m, d);
  EXPECT_EQ(d, 31);
  SplitDate(0, y, m, d);
  EXPECT_EQ(y + m + d, 0);
  SplitDate(-5, y, m, d);
  EXPECT_EQ(y + m + d, 0);
  int day_of_year = -1;
  SplitDayNumber(ComposeDate(2000, 12, 31), y, day_of_year);
  EXPECT_EQ(day_of_year, 365);
}

TEST(FormatTimeTest, EveryCode) {
  struct Case {
    const char* format;
    const char* expected;
  };
  const Case cases[] = {
      {"%%", "%"},
      {"%a", "Sun"},
      {"%A", "Sunday"},
      {"%b", "Jan"},
      {"%B", "January"},
      {"%c", "Jan  7 13:05:09 2007"},
      {"%d", "7"},
      {"%D", "1/7/2007 13:05:09"},
      {"%e", "01/07/07"},
      {"%E", "01/07/07 13:05"},
      {"%f", "01/07/07"},
      {"%F", "01/07/07 13:05"},
      {"%g", "01071305"},
      {"%G", "01/07/2007"},
      {"%h", "13:05"},
      {"%H", "13"},
      {"%I", "1"},
      {"%j", "6"},
      {"%l", "Sun,  7-Jan-2007"},
      {"%L", "Sun,  7-Jan-2007  1:05 PM"},
      {"%m", "1"},
      {"%M", "5"},
      {"%N", "070107 130509"},
      {"%p", "PM"},
      {"%Q", "01-07-2007 13:05:09"},
      {"%S", "9"},
      {"%t", "250"},
      {"%u", "Sun, 7 Jan 7 13:05:09"},
      {"%w", "1"},
      {"%x", "Jan 7, 2007"},
      {"%X", "13:05:09"},
      {"%y", " 7"},
      {"%Y", "2007"},
      {"%z", " 7-Jan-2007"},
      {"%Z", " 7-Jan-2007 13:05"},
      {"%q", "q"},
      {"at %X%", "at 13:05:09"},
      {"Writing daily item statistics for %l",
       "Writing daily item statistics for Sun,  7-Jan-2007"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatTime(c.format, kExample), c.expected) << c.format;
}

TEST(FormatTimeTest, TwelveHourClockAndYearZero) {
  TimeValue day = ComposeDate(2007, 1, 7);
  EXPECT_EQ(FormatTime("%L", day), "Sun,  7-Jan-2007 12:00 AM");
  EXPECT_EQ(FormatTime("%L", day + 12 * 3600), "Sun,  7-Jan-2007 12:00 PM");
  EXPECT_EQ(FormatTime("%I %p", day + 23 * 3600), "11 PM");
  // Year 0 prints as zeros; a value of 0 has no month or weekday names.
  EXPECT_EQ(FormatTime("%e|%N", 3723), "00/00/00|000000 010203");
  EXPECT_EQ(FormatTime("[%b%a%B%A]", 0), "[]");
}

TEST(FormatTimeTest, RoundsToTheNextSecondWithinHalfASecond) {
  TimeValue t = static_cast<double>(DayNumber(2007, 1, 7)) * kSecondsPerDay + 86399.6;
  EXPECT_EQ(FormatTime("%D", t), "1/8/2007 0:00:00");
  EXPECT_EQ(FormatTime("%t", t), "600");
  EXPECT_EQ(FormatTime("%X", ComposeTime(2007, 1, 7, 10, 0, 0) - 0.5), "09:59:59");
  EXPECT_EQ(StartOfDay(t), ComposeDate(2007, 1, 8));
  EXPECT_EQ(StartOfDay(0), 0.0);
}

TEST(TimeTextTest, DefaultFormRoundTrips) {
  EXPECT_EQ(FormatTimeOrDefault(0), "01/01/1900 00:00:00");
  EXPECT_EQ(ParseTimeText("01/01/1900 00:00:00"), 0.0);
  EXPECT_EQ(ParseTimeText(FormatTimeOrDefault(kExample)), ComposeTime(2007, 1, 7, 13, 5, 9));
  EXPECT_EQ(ParseTimeText(""), 0.0);
  EXPECT_EQ(ParseTimeText("1/7/2007"), ComposeDate(2007, 1, 7));
  EXPECT_EQ(ParseTimeText("13/7/2007 1:00:00"), 3600.0);  // bad month: time of day only
  EXPECT_EQ(ParseTimeText("1/7/2007 12:00:00; R:x"), ComposeTime(2007, 1, 7, 12, 0, 0));
}

TEST(TimeParseTest, NcsaDates) {
  struct Case {
    const char* text;
    bool ok;
    TimeValue value;
    int zone;
  };
  const TimeValue written = ComposeTime(2007, 1, 7, 13, 5, 9);
  const Case cases[] = {
      {"07/Jan/2007:13:05:09 -0500", true, written, -18000},
      {"07/jan/2007:13:05:09 +0130", true, written, 5400},
      {"7/Jan/07:13:05:09", true, written, 0},
      {"[07/Jan/2007:13:05:09 +0000]  ", true, written, 0},
      // Lines in a row that differ only in their day, month or century.
      {"08/Jan/2007:13:05:09 +0000", true, ComposeTime(2007, 1, 8, 13, 5, 9), 0},
      {"08/Feb/2007:13:05:09 +0000", true, ComposeTime(2007, 2, 8, 13, 5, 9), 0},
      {"08/Feb/2107:13:05:09 +0000", false, 0, 0},
      {"08/Feb/2007:13:05:09 +0000", true, ComposeTime(2007, 2, 8, 13, 5, 9), 0},
      {"07/Jan/2007:13:05:09 +0000", true, written, 0},
      {"07/January/2007:13:05:09 -0500", false, 0, 0},
      {"07/Jan/1979:13:05:09 -0500", false, 0, 0},
      {"07/Jan/2051:13:05:09", false, 0, 0},
      {"32/Jan/2007:13:05:09", false, 0, 0},
      {"07/Jan/2007:13:61:09", false, 0, 0},
      {"07/Jan/2007:13:05:09 -2500", false, 0, 0},
      {"07/Jan/2007:13:05:09 -05", false, 0, 0},
      {"07/Jan/2007", false, 0, 0},
      {"", false, 0, 0},
  };
  for (const Case& c : cases) {
    TimeValue value = 0;
    int zone = 99;
    bool has_zone = false;
    EXPECT_EQ(ParseNcsaDate(c.text, false, value, &zone, &has_zone), c.ok) << c.text;
    if (!c.ok) continue;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(zone, c.zone) << c.text;
  }
  TimeValue applied = 0;
  ASSERT_TRUE(ParseNcsaDate("07/Jan/2007:13:05:09 -0500", true, applied));
  EXPECT_EQ(applied, written - 18000);
}

TEST(TimeParseTest, W3cDatesAndClocks) {
  TimeValue midnight = 0;
  EXPECT_TRUE(ParseW3cDate("2007-01-07", midnight));
  EXPECT_EQ(midnight, ComposeDate(2007, 1, 7));
  EXPECT_TRUE(ParseW3cDate("07-01-07", midnight));
  EXPECT_EQ(midnight, ComposeDate(2007, 1, 7));
  EXPECT_TRUE(ParseW3cDate(" 2007-01-07 00:00:00", midnight));  // the Date directive's value
  EXPECT_EQ(midnight, ComposeDate(2007, 1, 7));
  for (const char* bad : {"2051-01-01", "2007-13-01", "2007-01-32", "", "x", "2007-01"}) {
    EXPECT_FALSE(ParseW3cDate(bad, midnight)) << bad;
  }

  struct Clock {
    const char* text;
    bool ok;
    double seconds;
  };
  const Clock clocks[] = {
      {"13:05:09", true, 47109},   {"13:05:09.250", true, 47109}, {"0:0:0", true, 0},
      {"24:00:00", false, 0},      {"13:60:00", false, 0},        {"13:05:60", false, 0},
      {"13:05", false, 0},         {"", false, 0},
  };
  for (const Clock& c : clocks) {
    double seconds = -1;
    EXPECT_EQ(ParseW3cClock(c.text, seconds), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(seconds, c.seconds) << c.text;
    }
  }
}

TEST(TimeParseTest, BasicIisDatesInEachOrder) {
  struct Case {
    const char* text;
    int order;
    bool ok;
    TimeValue value;
  };
  const TimeValue jan7 = ComposeDate(2007, 1, 7);
  const Case cases[] = {
      {"1/7/07", 0, true, jan7},
      {"7.1.07", 1, true, jan7},
      {"07/1/7", 2, true, jan7},
      {"1/7/07", 1, true, ComposeDate(2007, 7, 1)},
      {"1-7-2007", 0, true, jan7},
      {"1/ 7/ 07", 0, true, jan7},
      {"1/7/49", 0, true, ComposeDate(2049, 1, 7)},
      {"1/7/80", 0, true, ComposeDate(1980, 1, 7)},
      {"1/7/50", 0, false, 0},  // 1950: before the years a log may have
      {"1/7/07 13:05", 0, true, jan7 + 47100},
      {"1/7/07 13:05:09", 0, true, jan7 + 47109},
      {"13/7/07", 0, false, 0},
      {"1/32/07", 0, false, 0},
      {"1/7/07x", 0, false, 0},
      {"1/7/07 25:00", 0, false, 0},
      {"1/7/07", 3, false, 0},
      {"1/7", 0, false, 0},
  };
  for (const Case& c : cases) {
    TimeValue value = 0;
    EXPECT_EQ(ParseIisDate(c.text, c.order, value), c.ok) << c.text << " order " << c.order;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

// A date one reader takes and another refuses would let one format store
// days the reports cannot walk (a basic IIS line of 12/31/9999 stopped
// every report of its site).
TEST(TimeParseTest, EveryReaderTakesTheSameYears) {
  for (int year : {1000, 1979, 1980, 2026, 2050, 2051, 9999}) {
    const std::string y = std::to_string(year);
    const bool expected = year >= 1980 && year <= 2050;
    TimeValue value = 0;
    EXPECT_EQ(ParseW3cDate(y + "-12-31", value), expected) << y;
    EXPECT_EQ(ParseIisDate("12/31/" + y, 0, value), expected) << y;
    EXPECT_EQ(ParseIisDate(y + "/12/31", 2, value), expected) << y;
    EXPECT_EQ(ParseNcsaDate("31/Dec/" + y + ":23:59:59 +0000", false, value), expected) << y;
    EXPECT_EQ(ParseNcsaDate("31/Dec/" + y + ":23:59:59", false, value), expected) << y;
  }
}

TEST(TimeParseTest, ZoneOffsetTexts) {
  EXPECT_EQ(FormatTimeOffset(-19800), "-5:30");
  EXPECT_EQ(FormatTimeOffset(7200), "2:00");
  EXPECT_EQ(FormatTimeOffset(3630), "1:00:30");
  EXPECT_EQ(ParseTimeOffset("-5:30"), -19800.0);
  EXPECT_EQ(ParseTimeOffset("  +2"), 7200.0);
  EXPECT_EQ(ParseTimeOffset("1: 00: 30"), 3630.0);
  EXPECT_EQ(ParseTimeOffset("- 5:30"), 0.0);
  EXPECT_EQ(ParseTimeOffset("25:00"), 0.0);
  EXPECT_EQ(ParseTimeOffset("5:60"), 0.0);
  EXPECT_EQ(ParseTimeOffset(""), 0.0);
}

TEST(ClockTest, LocalZoneAndFileTimes) {
  UseFixedZone();
  EXPECT_EQ(LocalZoneOffsetSeconds(), 18000.0);
  // 2007-01-07 18:05:09 UTC is 13:05:09 five hours west.
  const std::time_t utc = 1168193109;
  EXPECT_EQ(FileTimeToTime(utc), ComposeTime(2007, 1, 7, 13, 5, 9));
  EXPECT_NEAR(NowUtcSeconds() - NowLocalSeconds(), 18000.0, 5.0);

  test::TempDir dir;
  std::string path = dir.File("ex070107.log");
  test::WriteFile(path, "x\n");
  timespec times[2] = {{utc, 0}, {utc, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  DateParts parts;
  ASSERT_EQ(GetFileDateParts(path, kFileTimeWrite, parts), 0);
  EXPECT_EQ(parts.hour, 13);
  EXPECT_EQ(parts.day, 7);
  EXPECT_EQ(GetFileTimeValue(path, kFileTimeAccess), ComposeTime(2007, 1, 7, 13, 5, 9));
  EXPECT_GT(GetFileTimeValue(path, kFileTimeCreation), 0.0);
  EXPECT_EQ(GetFileDateParts(path, 4, parts), 1);
  EXPECT_EQ(parts.year, 0);
  EXPECT_EQ(GetFileTimeValue(dir.File("missing"), kFileTimeWrite), 0.0);
}

}  // namespace
}  // namespace tf
