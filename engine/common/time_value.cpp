// Calendar, clocks and file times of the engine's time values.
#include "engine/common/time_value.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <ctime>
#include <mutex>

namespace tf {
namespace {

constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

// The C library reads TZ once; tests and the service set it before the
// first time conversion, so reading it once per process is enough.
void EnsureZoneLoaded() {
  static std::once_flag once;
  std::call_once(once, [] { tzset(); });
}

// Day number of 1 January of the year; year 0 counts as 365 days, so this
// is also valid for year 0 (day 0).
std::int64_t YearStart(std::int64_t year) {
  std::int64_t y1 = year - 1;
  // Truncating division, as the rule is written for years of 1 and more;
  // for year 0 every term is 0.
  return 365 * year + y1 / 4 - y1 / 100 + y1 / 400;
}

TimeValue ComposeFromTm(const std::tm& tm, double fraction) {
  return ComposeTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                     tm.tm_sec) +
         fraction;
}

// The wall clock with milliseconds, local or UTC.
TimeValue Now(bool local) {
  EnsureZoneLoaded();
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm tm{};
  if (local) {
    localtime_r(&now.tv_sec, &tm);
  } else {
    gmtime_r(&now.tv_sec, &tm);
  }
  return ComposeFromTm(tm, std::floor(now.tv_nsec / 1.0e6) / 1000.0);
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::int64_t DayNumber(int year, int month, int day) {
  std::int64_t n = YearStart(year) + (day - 1);
  if (month >= 1 && month <= 12) {
    n += kDaysBeforeMonth[month - 1];
    if (month > 2 && IsLeapYear(year)) n += 1;
  }
  return n;
}

TimeValue ComposeTime(int year, int month, int day, int hour, int minute, int second) {
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > 31) {
    return hour * 3600.0 + minute * 60.0 + second;
  }
  return ComposeDayTime(DayNumber(year, month, day), hour, minute, second);
}

TimeValue ComposeDayTime(std::int64_t day_number, int hour, int minute, int second) {
  double clock = hour * 3600.0 + minute * 60.0 + second;
  return static_cast<double>(day_number) * kSecondsPerDay + clock;
}

TimeValue ComposeDate(int year, int month, int day) {
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > 31) return 0;
  return static_cast<double>(DayNumber(year, month, day)) * kSecondsPerDay;
}

void SplitDayNumber(TimeValue t, int& year, int& day_of_year) {
  year = 0;
  day_of_year = 0;
  if (!(t > 0)) return;
  double days = std::trunc((t + 0.49) / kSecondsPerDay);
  if (days > 4.0e9) days = 4.0e9;  // far beyond any date; keeps the year in range
  std::int64_t n = static_cast<std::int64_t>(days);
  // Estimate, then settle on the year whose first day is at most n.
  std::int64_t y = static_cast<std::int64_t>(static_cast<double>(n) / 365.2425);
  while (y > 0 && YearStart(y) > n) --y;
  while (YearStart(y + 1) <= n) ++y;
  year = static_cast<int>(y);
  day_of_year = static_cast<int>(n - YearStart(y));
}

void SplitDate(TimeValue t, int& year, int& month, int& day) {
  int day_of_year = 0;
  SplitDayNumber(t, year, day_of_year);
  if (!(t > 0)) {
    month = 0;
    day = 0;
    return;
  }
  // Year 0 is 365 days long although the leap rule would call it a leap year.
  bool leap = YearStart(year + 1) - YearStart(year) == 366;
  month = 1;
  for (int m = 12; m >= 1; --m) {
    int before = kDaysBeforeMonth[m - 1] + (leap && m > 2 ? 1 : 0);
    if (day_of_year >= before) {
      month = m;
      day = day_of_year - before + 1;
      return;
    }
  }
  day = day_of_year + 1;
}

TimeValue StartOfDay(TimeValue t) {
  if (!(t > 0)) return 0;
  return std::trunc((t + 0.49) / kSecondsPerDay) * kSecondsPerDay;
}

namespace {

// The whole part of fmod(value, divisor), in whole numbers: the same for
// every value an int64 holds (both remainders keep the value's sign), and
// many times cheaper, which counts where each new item's date is written.
int WholeRemainder(double value, int divisor) {
  if (!(std::fabs(value) < 9e18)) return static_cast<int>(std::fmod(value, divisor));
  return static_cast<int>(static_cast<std::int64_t>(value) % divisor);
}

}  // namespace

ClockParts SplitClock(TimeValue t) {
  ClockParts parts;
  parts.hour = WholeRemainder((t + 0.49) / 3600.0, 24);
  parts.minute = WholeRemainder((t + 0.49) / 60.0, 60);
  parts.second = WholeRemainder(t + 0.49, 60);
  return parts;
}

TimeValue NowLocalSeconds() { return Now(true); }

TimeValue NowUtcSeconds() { return Now(false); }

double LocalZoneOffsetSeconds() {
  static std::once_flag once;
  static double offset = 0;
  std::call_once(once, [] {
    EnsureZoneLoaded();
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    offset = -static_cast<double>(tm.tm_gmtoff);
  });
  return offset;
}

TimeValue FileTimeToTime(std::time_t utc_seconds) {
  EnsureZoneLoaded();
  std::tm tm{};
  if (localtime_r(&utc_seconds, &tm) == nullptr) return 0;
  return ComposeFromTm(tm, 0);
}

int GetFileDateParts(const std::string& path, int kind, DateParts& parts) {
  parts = DateParts{};
  if (kind < kFileTimeWrite || kind > kFileTimeCreation) return 1;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return 1;
  struct statx sx {};
  int rc = statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &sx);
  close(fd);
  if (rc != 0) return 1;
  std::time_t when = 0;
  switch (kind) {
    case kFileTimeWrite: when = sx.stx_mtime.tv_sec; break;
    case kFileTimeAccess: when = sx.stx_atime.tv_sec; break;
    default:
      when = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime.tv_sec : sx.stx_ctime.tv_sec;
      break;
  }
  EnsureZoneLoaded();
  std::tm tm{};
  if (localtime_r(&when, &tm) == nullptr) return 1;
  parts.year = tm.tm_year + 1900;
  parts.month = tm.tm_mon + 1;
  parts.day = tm.tm_mday;
  parts.hour = tm.tm_hour;
  parts.minute = tm.tm_min;
  parts.second = tm.tm_sec;
  return 0;
}

TimeValue GetFileTimeValue(const std::string& path, int kind) {
  DateParts p;
  if (GetFileDateParts(path, kind, p) != 0) return 0;
  return ComposeTime(p.year, p.month, p.day, p.hour, p.minute, p.second);
}

}  // namespace tf
