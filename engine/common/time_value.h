// The engine's one representation of a point in time, its calendar, clocks,
// formatter and the parsers of the date texts found in logs and settings.
//
// A TimeValue is a count of seconds (milliseconds as the fraction) on the
// system's own calendar: day N of a date is
//   365*y + (y-1)/4 - (y-1)/100 + (y-1)/400 + days-before-month + (d-1)
//   (+1 in a leap year after February),
// so 0001-01-01 is day 365, 2007-01-01 is day 733,041 and N mod 7 is the
// weekday with 0 for Sunday. Values are local time unless a caller says
// otherwise; 0 means "no time".
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace tf {

using TimeValue = double;

constexpr double kSecondsPerDay = 86400.0;

// Day number of a date by the rule above (no per-month check: day 31 is
// accepted in every month). The caller validates the ranges.
std::int64_t DayNumber(int year, int month, int day);
bool IsLeapYear(int year);

// Clocks: the local and the UTC wall clock, with milliseconds.
TimeValue NowLocalSeconds();
TimeValue NowUtcSeconds();

// Day number * 86400 + time of day; an invalid date (year < 1, month outside
// 1-12, day outside 1-31) gives only the time of day.
TimeValue ComposeTime(int year, int month, int day, int hour, int minute, int second);
// The same from a day number already found.
TimeValue ComposeDayTime(std::int64_t day_number, int hour, int minute, int second);
// Midnight of the date; 0 when the date is invalid.
TimeValue ComposeDate(int year, int month, int day);

// Year and 0-based day of the year; t <= 0 gives 0 and 0. Days are found
// with 0.49 s of rounding: (t + 0.49) / 86400.
void SplitDayNumber(TimeValue t, int& year, int& day_of_year);
// Year, month, day; t <= 0 gives 0, 0, 0.
void SplitDate(TimeValue t, int& year, int& month, int& day);
// Midnight of the value's day (same rounding); 0 for t <= 0.
TimeValue StartOfDay(TimeValue t);

// Hour, minute and second of the value, with the formatter's 0.49 s rounding.
struct ClockParts {
  int hour = 0;
  int minute = 0;
  int second = 0;
};
ClockParts SplitClock(TimeValue t);

// The system's formatter with its own % codes (%D "1/7/2007 13:05:09",
// %X "13:05:09", %l "Sun,  7-Jan-2007", %L, %G "01/07/2007", %Z, ...).
std::string FormatTime(std::string_view format, TimeValue t);
// Appends instead of returning; for hot paths that reuse a buffer.
void AppendFormattedTime(std::string& out, std::string_view format, TimeValue t);
// "%D", except that exactly 0 gives "01/01/1900 00:00:00".
std::string FormatTimeOrDefault(TimeValue t);

// Reads the "%D" form ("m/d/yyyy h:mm:ss") back. Empty text gives 0, a year
// of 1900 or below gives 0, a bad month or day gives only the time of day.
TimeValue ParseTimeText(std::string_view text);

// The years a log date may have, the same for every reader. Stored dates
// of 1900 and before read back as none, and the reports hold four-digit
// years with room for their walks around the last date, so a record from
// outside these years would only corrupt or stop the site's reports.
constexpr int kFirstLogYear = 1980;
constexpr int kLastLogYear = 2050;
bool IsLogYear(int year);

// W3C "yyyy-mm-dd" to midnight of the date.
bool ParseW3cDate(std::string_view text, TimeValue& midnight);
// W3C "hh:mm:ss[.fff]" to seconds of the day.
bool ParseW3cClock(std::string_view text, double& seconds);
// Basic IIS date with optional clock; order 0 m/d/y, 1 d/m/y, 2 y/m/d.
bool ParseIisDate(std::string_view text, int order, TimeValue& value);
// NCSA "dd/Mon/yyyy:hh:mm:ss [+-]zzzz". The clock time as written, plus the
// zone only when apply_zone is set. When zone_seconds is given it receives
// the zone written in the text as signed seconds east of UTC (0 when the
// text carries none) and has_zone whether it carried one.
bool ParseNcsaDate(std::string_view text, bool apply_zone, TimeValue& value,
                   int* zone_seconds = nullptr, bool* has_zone = nullptr);

// A site's fixed time-zone text "[+-]h[:mm[:ss]]" to signed seconds; 0 when
// it does not read.
double ParseTimeOffset(std::string_view text);
// Inverse for display: "-5:30", "2:00", "1:00:30".
std::string FormatTimeOffset(double seconds);

// The machine's offset, UTC minus local (positive west of Greenwich),
// daylight saving included; computed on the first call and cached.
double LocalZoneOffsetSeconds();

// A file time (seconds since the Unix epoch, UTC) as local TimeValue,
// whole seconds.
TimeValue FileTimeToTime(std::time_t utc_seconds);

// Which time of a file: 1 last write, 2 last access, 3 creation (the birth
// time where the file system keeps one, else the last status change).
enum FileTimeKind { kFileTimeWrite = 1, kFileTimeAccess = 2, kFileTimeCreation = 3 };

struct DateParts {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// 0 on success; 1 when the file cannot be read, its times cannot be had or
// the kind is unknown (all parts 0 then).
int GetFileDateParts(const std::string& path, int kind, DateParts& parts);
// GetFileDateParts composed; 0 on failure.
TimeValue GetFileTimeValue(const std::string& path, int kind);

}  // namespace tf
