// The page's number, date and duration texts, and what may enter the page.
#include <gtest/gtest.h>

#include "platform/draw/utf8.h"
#include "report/page_text.h"
#include "report/regional_format.h"
#include "report/report_builder.h"

namespace tf::report {
namespace {

TEST(FormatsTest, NumberPatterns) {
  struct Case {
    double value;
    const char* whole;    // "###,###"
    const char* decimal;  // "###,###.##"
    const char* number0;  // whole number with a leading digit
    const char* number2;  // two decimals
  };
  const Case cases[] = {
      {0, "", ".", "0", "0.00"},
      {0.5, "1", ".5", "1", "0.50"},
      {0.004, "", ".", "0", "0.00"},
      {12, "12", "12.", "12", "12.00"},
      {1234.5, "1,235", "1,234.5", "1,235", "1,234.50"},
      {2.675, "3", "2.68", "3", "2.68"},
      {1234567.891, "1,234,568", "1,234,567.89", "1,234,568", "1,234,567.89"},
      {-1234.4, "-1,234", "-1,234.4", "-1,234", "-1,234.40"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(FormatWholePattern(c.value), c.whole);
    EXPECT_EQ(FormatDecimalPattern(c.value), c.decimal);
    EXPECT_EQ(FormatNumber(c.value, 0), c.number0);
    EXPECT_EQ(FormatNumber(c.value, 2), c.number2);
  }
}

TEST(FormatsTest, FriendlyTime) {
  const std::pair<const char*, const char*> cases[] = {
      {"0", "00"},          {"5", "05"},          {"59.6", "60"},       {"60", "60"},
      {"61", "01:01"},      {"3599", "59:59"},    {"3605", "1:05"},     {"3725", "1:02:05"},
      {"86400", "24:00"},   {"90061", "1 day(s) 1:01:01"}, {"172805", "2 day(s) 05"},
  };
  ReportBuilder builder;
  for (const auto& [seconds, text] : cases) {
    std::string copy = seconds;
    EXPECT_EQ(builder.Friendly_Time(copy), text) << seconds;
  }
  EXPECT_EQ(builder.CurrentStep, -2015);
  std::string not_a_number = "abc";
  EXPECT_THROW(builder.Friendly_Time(not_a_number), ReportError);
  EXPECT_EQ(builder.CurrentStep, -2010);
}

TEST(FormatsTest, FriendlyDateAndCalendar) {
  ReportBuilder builder;
  builder.DayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  const std::pair<const char*, const char*> cases[] = {
      {"12/03/2006", "Sun, Dec 3rd, 2006"},  {"12/9/2006", "Sat, Dec 9th, 2006"},
      {"1/1/2006", "Sun, Jan 1st, 2006"},    {"1/2/2006", "Mon, Jan 2nd, 2006"},
      {"1/11/2006", "Wed, Jan 11th, 2006"},  {"1/12/2006", "Thu, Jan 12th, 2006"},
      {"1/13/2006", "Fri, Jan 13th, 2006"},  {"1/21/2006", "Sat, Jan 21st, 2006"},
      {"1/22/2006", "Sun, Jan 22nd, 2006"},  {"1/23/2006", "Mon, Jan 23rd, 2006"},
      {"1/31/2006", "Tue, Jan 31st, 2006"},  {"2/29/2008", "Fri, Feb 29th, 2008"},
  };
  for (const auto& [date, text] : cases) EXPECT_EQ(builder.Friendly_Date(date), text);
  EXPECT_THROW(builder.Friendly_Date("2/30/2006"), ReportError);

  DaySerial jan5 = MakeDaySerial(2006, 1, 5);
  EXPECT_EQ(ShortDate(jan5), "1/5/2006");
  EXPECT_EQ(ReadDateText("01/05/2006"), jan5);
  EXPECT_EQ(LongTime(0, 0, 0), "12:00:00 AM");
  EXPECT_EQ(LongTime(15, 4, 9), "3:04:09 PM");
  EXPECT_EQ(AddMonths(MakeDaySerial(2008, 1, 31), 1), MakeDaySerial(2008, 2, 29));
  EXPECT_EQ(UnitsBetween("d", jan5, MakeDaySerial(2006, 1, 31)), 26);
  EXPECT_EQ(UnitsBetween("ww", jan5, MakeDaySerial(2006, 2, 18)), 6);
  EXPECT_EQ(UnitsBetween("m", MakeDaySerial(2005, 11, 30), MakeDaySerial(2006, 2, 1)), 3);
  EXPECT_EQ(UnitsBetween("yyyy", MakeDaySerial(2005, 12, 31), jan5), 1);
}

TEST(FormatsTest, PageText) {
  EXPECT_EQ(HtmlEscape("<a href=\"x\">Tom & 'Jerry'</a>"),
            "&lt;a href=&quot;x&quot;&gt;Tom &amp; &#39;Jerry&#39;&lt;/a&gt;");
  // Three characters of two, three and four bytes: a cut keeps whole ones.
  const std::string text = "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  EXPECT_EQ(draw::Utf8Length(text), 3u);
  EXPECT_EQ(draw::Utf8CutChars(text, 2), "\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(SafeColour("a0B1c2", "FFFFFF"), "a0B1c2");
  for (const char* bad : {"", "12345", "1234567", "12345g", "red;}x", "#12345"}) {
    EXPECT_EQ(SafeColour(bad, "FFFFFF"), "FFFFFF") << bad;
  }
  for (const char* bad : {"", ".", "..", "../x", "a/b"}) EXPECT_FALSE(IsPlainFileName(bad)) << bad;
  EXPECT_TRUE(IsPlainFileName("daily report"));
}

}  // namespace
}  // namespace tf::report
