#include "report/regional_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/com/variant.h"
#include "platform/db/jet_date.h"

namespace tf::report {
namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kDayNames = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// Floor division for the negative serials before 1900.
long FloorDiv(long a, long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

DaySerial StartOfWeek(DaySerial serial) { return serial - (Weekday(serial) - 1); }

// Digits of a whole number with "," between groups of three.
std::string Grouped(std::string_view digits) {
  std::string out;
  out.reserve(digits.size() + digits.size() / 3);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

// |value| rounded half away from zero to `decimals` places, as the digits
// of the whole part and of the fraction.
void SplitRounded(double value, int decimals, std::string& whole, std::string& fraction) {
  // Rounded as the decimal text of the value reads (15 significant digits),
  // so 2.675 gives 2.68 although its binary value lies just below.
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.15g", std::fabs(value) * std::pow(10.0, decimals));
  double scaled = std::round(std::strtod(buffer, nullptr));
  std::snprintf(buffer, sizeof buffer, "%.0f", scaled);
  std::string digits = buffer;
  if (digits.size() <= static_cast<std::size_t>(decimals)) {
    digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
  }
  whole = digits.substr(0, digits.size() - decimals);
  fraction = digits.substr(digits.size() - decimals);
}

}  // namespace

DaySerial MakeDaySerial(int year, int month, int day) {
  return static_cast<DaySerial>(std::floor(com::MakeAutomationDate(year, month, day)));
}

void SplitDaySerial(DaySerial serial, int& year, int& month, int& day) {
  int hour, minute, second;
  com::SplitAutomationDate(static_cast<double>(serial), year, month, day, hour, minute, second);
}

int Weekday(DaySerial serial) {
  // Day 0, 12/30/1899, was a Saturday.
  return static_cast<int>(serial + 6 - FloorDiv(serial + 6, 7) * 7) + 1;
}

DaySerial AddMonths(DaySerial serial, int months) {
  int year, month, day;
  SplitDaySerial(serial, year, month, day);
  long index = static_cast<long>(year) * 12 + (month - 1) + months;
  int new_year = static_cast<int>(FloorDiv(index, 12));
  int new_month = static_cast<int>(index - static_cast<long>(new_year) * 12) + 1;
  int last = db::DaysInMonth(new_year, new_month);
  return MakeDaySerial(new_year, new_month, day < last ? day : last);
}

long UnitsBetween(std::string_view unit, DaySerial first, DaySerial second) {
  if (unit == "ww") return (StartOfWeek(second) - StartOfWeek(first)) / 7;
  int y1, m1, d1, y2, m2, d2;
  SplitDaySerial(first, y1, m1, d1);
  SplitDaySerial(second, y2, m2, d2);
  if (unit == "m") return (static_cast<long>(y2) * 12 + m2) - (static_cast<long>(y1) * 12 + m1);
  if (unit == "yyyy") return y2 - y1;
  return second - first;
}

std::string ShortDate(DaySerial serial) {
  int year, month, day;
  SplitDaySerial(serial, year, month, day);
  return std::to_string(month) + "/" + std::to_string(day) + "/" + std::to_string(year);
}

std::string LongTime(int hour, int minute, int second) {
  int twelve = hour % 12 == 0 ? 12 : hour % 12;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d %s", twelve, minute, second,
                hour < 12 ? "AM" : "PM");
  return buffer;
}

std::string_view MonthName(int month) {
  return month >= 1 && month <= 12 ? kMonthNames[month - 1] : std::string_view();
}

std::string_view DayName(int weekday) {
  return weekday >= 1 && weekday <= 7 ? kDayNames[weekday - 1] : std::string_view();
}

std::optional<DaySerial> ReadDateText(std::string_view text) {
  std::optional<db::DateParts> parts = db::ParseJetDate(text);
  if (!parts) return std::nullopt;
  return MakeDaySerial(parts->year, parts->month, parts->day);
}

std::string FormatNumber(double value, int decimals) {
  std::string whole, fraction;
  SplitRounded(value, decimals, whole, fraction);
  bool zero = whole.find_first_not_of('0') == std::string::npos &&
              fraction.find_first_not_of('0') == std::string::npos;
  std::string out = value < 0 && !zero ? "-" : "";
  out += Grouped(whole);
  if (decimals > 0) out += "." + fraction;
  return out;
}

std::string FormatWholePattern(double value) {
  std::string text = FormatNumber(value, 0);
  return text == "0" ? "" : text;
}

std::string FormatDecimalPattern(double value) {
  std::string whole, fraction;
  SplitRounded(value, 2, whole, fraction);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  bool zero = whole == "0" && fraction.empty();
  std::string out = value < 0 && !zero ? "-" : "";
  if (whole != "0") out += Grouped(whole);
  return out + "." + fraction;
}

std::string NumberText(double value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::optional<double> ReadNumberText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace tf::report
