// The system's own time formatter and the display of time-zone offsets.
#include <cmath>
#include <cstdio>

#include "engine/common/time_value.h"

namespace tf {
namespace {

constexpr const char* kMonthNames[12] = {"January", "February", "March",     "April",
                                         "May",     "June",     "July",      "August",
                                         "September", "October", "November", "December"};
constexpr const char* kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};

// Everything the codes need, split once per call.
struct Parts {
  int year = 0, month = 0, day = 0, day_of_year = 0;
  int hour = 0, minute = 0, second = 0, millis = 0;
  int weekday = 0;  // 1 Sunday .. 7 Saturday; 0 when there is no date
};

Parts SplitForFormat(TimeValue t) {
  Parts p;
  if (!std::isfinite(t) || std::fabs(t) > 1e15) t = 0;  // keeps every part an int
  ClockParts clock = SplitClock(t);
  p.hour = clock.hour;
  p.minute = clock.minute;
  p.second = clock.second;
  p.millis = static_cast<int>(std::fmod(t * 1000.0, 1000.0));
  SplitDayNumber(t, p.year, p.day_of_year);
  SplitDate(t, p.year, p.month, p.day);
  if (t > 0) p.weekday = static_cast<int>(std::fmod((t + 0.4) / kSecondsPerDay, 7.0)) + 1;
  return p;
}

// Names are empty for values that carry no date.
std::string_view MonthName(const Parts& p) {
  return p.month >= 1 && p.month <= 12 ? kMonthNames[p.month - 1] : "";
}
std::string_view MonthShort(const Parts& p) { return MonthName(p).substr(0, 3); }
std::string_view DayName(const Parts& p) {
  return p.weekday >= 1 && p.weekday <= 7 ? kDayNames[p.weekday - 1] : "";
}
std::string_view DayShort(const Parts& p) { return DayName(p).substr(0, 3); }

int Hour12(int hour) { return hour % 12 == 0 ? 12 : hour % 12; }
const char* AmPm(int hour) { return hour < 12 ? "AM" : "PM"; }

template <typename... Args>
void Append(std::string& out, const char* format, Args... args) {
  char buffer[96];
  int n = std::snprintf(buffer, sizeof buffer, format, args...);
  if (n > 0) out.append(buffer, std::min<size_t>(static_cast<size_t>(n), sizeof buffer - 1));
}

void AppendText(std::string& out, std::string_view text) { out.append(text); }

void AppendCode(std::string& out, char code, const Parts& p) {
  switch (code) {
    case '%': out.push_back('%'); break;
    case 'a': AppendText(out, DayShort(p)); break;
    case 'A': AppendText(out, DayName(p)); break;
    case 'b': AppendText(out, MonthShort(p)); break;
    case 'B': AppendText(out, MonthName(p)); break;
    case 'c':
      AppendText(out, MonthShort(p));
      Append(out, " %2d %02d:%02d:%02d %4d", p.day, p.hour, p.minute, p.second, p.year);
      break;
    case 'd': Append(out, "%d", p.day); break;
    case 'D':
      Append(out, "%d/%d/%d %d:%02d:%02d", p.month, p.day, p.year, p.hour, p.minute, p.second);
      break;
    case 'e':
    case 'f':
      if (p.year == 0) {
        out.append("00/00/00");
      } else {
        Append(out, "%02d/%02d/%02d", p.month, p.day, p.year % 100);
      }
      break;
    case 'E':
    case 'F':
      AppendCode(out, 'e', p);
      Append(out, " %02d:%02d", p.hour, p.minute);
      break;
    case 'g': Append(out, "%02d%02d%02d%02d", p.month, p.day, p.hour, p.minute); break;
    case 'G': Append(out, "%02d/%02d/%d", p.month, p.day, p.year); break;
    case 'h': Append(out, "%02d:%02d", p.hour, p.minute); break;
    case 'H': Append(out, "%d", p.hour); break;
    case 'I': Append(out, "%d", Hour12(p.hour)); break;
    case 'j': Append(out, "%d", p.day_of_year); break;
    case 'l':
      AppendText(out, DayShort(p));
      Append(out, ", %2d-", p.day);
      AppendText(out, MonthShort(p));
      Append(out, "-%d", p.year);
      break;
    case 'L':
      AppendCode(out, 'l', p);
      Append(out, " %2d:%02d %s", Hour12(p.hour), p.minute, AmPm(p.hour));
      break;
    case 'm': Append(out, "%d", p.month); break;
    case 'M': Append(out, "%d", p.minute); break;
    case 'N':
      if (p.year == 0) {
        Append(out, "000000 %02d%02d%02d", p.hour, p.minute, p.second);
      } else {
        Append(out, "%02d%02d%02d %02d%02d%02d", p.year % 100, p.month, p.day, p.hour, p.minute,
               p.second);
      }
      break;
    case 'p': out.append(AmPm(p.hour)); break;
    case 'Q':
      Append(out, "%02d-%02d-%04d %02d:%02d:%02d", p.month, p.day, p.year, p.hour, p.minute,
             p.second);
      break;
    case 'S': Append(out, "%d", p.second); break;
    case 't': Append(out, "%03d", p.millis); break;
    case 'u':
      AppendText(out, DayShort(p));
      Append(out, ", %d ", p.day);
      AppendText(out, MonthShort(p));
      Append(out, " %d %2.2d:%2.2d:%2.2d", p.year % 100, p.hour, p.minute, p.second);
      break;
    case 'w': Append(out, "%d", p.weekday); break;
    case 'x':
      AppendText(out, MonthShort(p));
      Append(out, " %d, %4d", p.day, p.year);
      break;
    case 'X': Append(out, "%02d:%02d:%02d", p.hour, p.minute, p.second); break;
    case 'y': Append(out, "%2d", p.year % 100); break;
    case 'Y': Append(out, "%d", p.year); break;
    case 'z':
      Append(out, "%2d-", p.day);
      AppendText(out, MonthShort(p));
      Append(out, "-%04d", p.year);
      break;
    case 'Z':
      AppendCode(out, 'z', p);
      Append(out, " %02d:%02d", p.hour, p.minute);
      break;
    default: out.push_back(code); break;
  }
}

}  // namespace

void AppendFormattedTime(std::string& out, std::string_view format, TimeValue t) {
  Parts parts;
  bool split = false;
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c != '%') {
      out.push_back(c);
      continue;
    }
    if (++i == format.size()) return;  // a lone '%' at the end ends the output
    if (!split) {
      parts = SplitForFormat(t);
      split = true;
    }
    AppendCode(out, format[i], parts);
  }
}

std::string FormatTime(std::string_view format, TimeValue t) {
  std::string out;
  AppendFormattedTime(out, format, t);
  return out;
}

std::string FormatTimeOrDefault(TimeValue t) {
  if (t == 0) return "01/01/1900 00:00:00";
  return FormatTime("%D", t);
}

std::string FormatTimeOffset(double seconds) {
  std::string out;
  if (seconds < 0) out.push_back('-');
  double a = std::fabs(seconds);
  if (!(a < 1e9)) a = 0;  // no offset is that large; keeps the parts ints
  Append(out, "%d:%02d", static_cast<int>(a / 3600.0), static_cast<int>(std::fmod(a / 60.0, 60.0)));
  int rest = static_cast<int>(std::fmod(a, 60.0));
  if (rest != 0) Append(out, ":%02d", rest);
  return out;
}

}  // namespace tf
