// The regional settings of the reports: a fixed en-US formatter (M/d/yyyy,
// h:mm:ss AM/PM, "," between groups of three digits, "." as the decimal
// mark, English month and day names), the same on every machine and never
// taken from the C library's locale. The report generator and the desktop
// viewer both format their pages and chart labels through it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tf::report {

// Calendar days are counted as automation dates count them: day 0 is
// 12/30/1899, so a date's serial is the whole part of its automation date.
using DaySerial = long;

DaySerial MakeDaySerial(int year, int month, int day);
void SplitDaySerial(DaySerial serial, int& year, int& month, int& day);
// 1 = Sunday ... 7 = Saturday.
int Weekday(DaySerial serial);
// The same day `months` months later, kept inside the month (1/31 + 1 month
// is 2/28 or 2/29).
DaySerial AddMonths(DaySerial serial, int months);
// Boundaries of a unit between two days: "d" days, "ww" Sundays after the
// first day up to the second, "m" month ends, "yyyy" year ends. Negative
// when the second day lies before the first.
long UnitsBetween(std::string_view unit, DaySerial first, DaySerial second);

// "1/5/2006": month and day without leading zeros, four-digit year.
std::string ShortDate(DaySerial serial);
// "3:00:00 PM".
std::string LongTime(int hour, int minute, int second);
// "January" for 1; "" outside 1-12.
std::string_view MonthName(int month);
// "Sunday" for 1 ... "Saturday" for 7; "" outside 1-7.
std::string_view DayName(int weekday);
// A date written month first ("01/05/2006", "1/5/2006 13:00:00") or as
// "2006-01-05"; nothing when the text is not a date.
std::optional<DaySerial> ReadDateText(std::string_view text);

// The value rounded half away from zero to `decimals` places, with a
// leading digit, "," groups and a minus sign: 1234.5 gives "1,234.50"
// with two decimals, 0 gives "0".
std::string FormatNumber(double value, int decimals);
// "###,###": rounded to a whole number and grouped; 0 prints nothing.
std::string FormatWholePattern(double value);
// "###,###.##": at most two decimals, trailing zeros dropped; the decimal
// mark always stays and a value below 1 has no leading digit, so 12 gives
// "12.", 0.5 gives ".5" and 0 gives ".".
std::string FormatDecimalPattern(double value);
// A number as the default conversion writes it into a text: the shortest
// decimal that reads back to the same value ("12", "0.25").
std::string NumberText(double value);
// Reads a number from such a text (blanks around allowed); nothing when the
// text is not wholly a number.
std::optional<double> ReadNumberText(std::string_view text);

}  // namespace tf::report
