// Readers of the date and time texts found in logs and stored settings.
#include <cstdint>
#include <cstring>

#include "engine/common/time_value.h"

namespace tf {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A forward cursor over a text; every read stays inside it.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  void Skip() { ++pos_; }
  bool Accept(char c) {
    if (Peek() != c || AtEnd()) return false;
    ++pos_;
    return true;
  }
  void SkipBlanks() {
    while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  void SkipWhitespace() {
    while (!AtEnd() && (text_[pos_] == ' ' || (text_[pos_] >= '\t' && text_[pos_] <= '\r'))) ++pos_;
  }
  // Unsigned decimal digits; false when there is none. Large values are
  // held at a bound far above any valid field, so they fail the range checks.
  bool Unsigned(int& value) {
    if (!IsDigit(Peek())) return false;
    std::int64_t v = 0;
    while (IsDigit(Peek())) {
      if (v < 100000000) v = v * 10 + (text_[pos_] - '0');
      ++pos_;
    }
    value = static_cast<int>(v);
    return true;
  }
  bool Signed(int& value) {
    bool negative = false;
    if (Peek() == '+' || Peek() == '-') {
      negative = Peek() == '-';
      ++pos_;
    }
    if (!Unsigned(value)) return false;
    if (negative) value = -value;
    return true;
  }
  std::string_view Rest() const { return AtEnd() ? std::string_view() : text_.substr(pos_); }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

bool EndOrBlank(const Cursor& c) { return c.AtEnd() || c.Peek() == ' ' || c.Peek() == '\t'; }

constexpr const char* kMonthKeys[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

int MonthFromName(std::string_view name) {
  if (name.size() != 3) return 0;
  char upper[3];
  for (int i = 0; i < 3; ++i) {
    char c = name[i];
    upper[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  for (int m = 0; m < 12; ++m) {
    if (upper[0] == kMonthKeys[m][0] && upper[1] == kMonthKeys[m][1] &&
        upper[2] == kMonthKeys[m][2]) {
      return m + 1;
    }
  }
  return 0;
}

int TwoDigits(const char* p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

// The day number of the layout's first eleven characters ("07/Jan/2007"),
// or -1 when they hold no day a log may have. The lines of a log mostly
// share their day with the line before, so the last day read is kept with
// its text (per thread: each run reads on a thread of its own).
std::int64_t CanonicalNcsaDay(const char* p) {
  constexpr std::size_t kDayText = 11;
  thread_local char last_text[kDayText] = {};
  thread_local std::int64_t last_day = -1;
  if (last_day >= 0 && std::memcmp(p, last_text, kDayText) == 0) return last_day;
  static constexpr int kDigits[] = {0, 1, 7, 8, 9, 10};
  for (int i : kDigits) {
    if (!IsDigit(p[i])) return -1;
  }
  int day = TwoDigits(p);
  int month = MonthFromName(std::string_view(p + 3, 3));
  int year = TwoDigits(p + 7) * 100 + TwoDigits(p + 9);
  if (day < 1 || day > 31 || month == 0 || !IsLogYear(year)) return -1;
  std::memcpy(last_text, p, kDayText);
  last_day = DayNumber(year, month, day);
  return last_day;
}

// The layout servers write, "07/Jan/2007:13:05:09 -0500", read by fixed
// positions; anything else (or any value out of range) is left to the
// general reader, which gives the same result for this layout.
bool ParseCanonicalNcsaDate(std::string_view t, bool apply_zone, TimeValue& value, int* zone_seconds,
                            bool* has_zone) {
  if (t.size() != 26 || t[2] != '/' || t[6] != '/' || t[11] != ':' || t[14] != ':' ||
      t[17] != ':' || t[20] != ' ' || (t[21] != '+' && t[21] != '-')) {
    return false;
  }
  static constexpr int kClockDigits[] = {12, 13, 15, 16, 18, 19, 22, 23, 24, 25};
  for (int i : kClockDigits) {
    if (!IsDigit(t[static_cast<size_t>(i)])) return false;
  }
  const char* p = t.data();
  int hour = TwoDigits(p + 12), minute = TwoDigits(p + 15), second = TwoDigits(p + 18);
  int zh = TwoDigits(p + 22), zm = TwoDigits(p + 24);
  if (hour > 24 || minute > 60 || second > 60 || zh >= 24 || zm >= 60) return false;
  std::int64_t day = CanonicalNcsaDay(p);
  if (day < 0) return false;
  int zone = (t[21] == '-' ? -1 : 1) * (zh * 60 + zm) * 60;
  value = ComposeDayTime(day, hour, minute, second);
  if (apply_zone) value += zone;
  if (zone_seconds) *zone_seconds = zone;
  if (has_zone) *has_zone = true;
  return true;
}

}  // namespace

bool IsLogYear(int year) { return year >= kFirstLogYear && year <= kLastLogYear; }

TimeValue ParseTimeText(std::string_view text) {
  if (text.empty()) return 0;
  // month/day/year hour:minute:second; fields that do not read stay 0.
  int v[6] = {0, 0, 0, 0, 0, 0};
  const char separators[6] = {'\0', '/', '/', ' ', ':', ':'};
  Cursor c(text);
  for (int i = 0; i < 6; ++i) {
    if (separators[i] == ' ') {
      c.SkipWhitespace();
    } else if (separators[i] != '\0' && !c.Accept(separators[i])) {
      break;
    }
    c.SkipWhitespace();
    if (!c.Signed(v[i])) break;
  }
  int month = v[0], day = v[1], year = v[2];
  if (year <= 1900) return 0;
  return ComposeTime(year, month, day, v[3], v[4], v[5]);
}

bool ParseW3cDate(std::string_view text, TimeValue& midnight) {
  Cursor c(text);
  int v[3];
  for (int& n : v) {
    c.SkipBlanks();
    if (!c.Signed(n)) return false;
    c.Accept('-');
  }
  int year = v[0], month = v[1], day = v[2];
  if (year < 1000) year += 2000;
  if (!IsLogYear(year) || month < 1 || month > 12 || day < 1 || day > 31) return false;
  midnight = ComposeDate(year, month, day);
  return midnight != 0;
}

bool ParseW3cClock(std::string_view text, double& seconds) {
  Cursor c(text);
  int hour = 0, minute = 0, second = 0;
  c.SkipBlanks();
  if (!c.Signed(hour) || hour >= 24 || !c.Accept(':')) return false;
  c.SkipBlanks();
  if (!c.Signed(minute) || minute >= 60 || !c.Accept(':')) return false;
  c.SkipBlanks();
  if (!c.Signed(second) || second > 59) return false;
  seconds = hour * 3600.0 + minute * 60.0 + second;
  return true;
}

bool ParseIisDate(std::string_view text, int order, TimeValue& value) {
  if (order < 0 || order > 2) return false;
  Cursor c(text);
  c.SkipBlanks();
  int n[3];
  for (int i = 0; i < 3; ++i) {
    if (i > 0) {
      if (!(c.Accept('/') || c.Accept('-') || c.Accept('.'))) return false;
      c.SkipBlanks();
    }
    if (!c.Unsigned(n[i])) return false;
  }
  if (!EndOrBlank(c)) return false;
  int year, month, day;
  switch (order) {
    case 0: month = n[0]; day = n[1]; year = n[2]; break;
    case 1: day = n[0]; month = n[1]; year = n[2]; break;
    default: year = n[0]; month = n[1]; day = n[2]; break;
  }
  if (month < 1 || month > 12 || day < 1 || day > 31) return false;
  if (year < 50) {
    year += 2000;
  } else if (year < 100) {
    year += 1900;
  }
  if (!IsLogYear(year)) return false;
  double clock = 0;
  c.SkipBlanks();
  if (!c.AtEnd()) {
    int hour = 0, minute = 0, second = 0;
    if (!c.Unsigned(hour) || hour > 24 || !c.Accept(':')) return false;
    if (!c.Unsigned(minute) || minute > 60) return false;
    if (c.Accept(':') && (!c.Unsigned(second) || second > 60)) return false;
    if (!EndOrBlank(c)) return false;
    clock = hour * 3600.0 + minute * 60.0 + second;
  }
  TimeValue midnight = ComposeDate(year, month, day);
  if (midnight == 0) return false;
  value = midnight + clock;
  return true;
}

bool ParseNcsaDate(std::string_view text, bool apply_zone, TimeValue& value, int* zone_seconds,
                   bool* has_zone) {
  if (ParseCanonicalNcsaDate(text, apply_zone, value, zone_seconds, has_zone)) return true;
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  size_t start = 0;
  while (start < text.size() && !IsDigit(text[start])) ++start;
  Cursor c(text.substr(start));

  int day = 0;
  if (!c.Signed(day) || day < 1 || day > 31 || !c.Accept('/')) return false;
  std::string_view rest = c.Rest();
  size_t slash = rest.find('/');
  if (slash == std::string_view::npos) return false;
  // At most nine characters are looked at; a longer name cannot match.
  int month = slash <= 9 ? MonthFromName(rest.substr(0, slash)) : 0;
  if (month == 0) return false;
  Cursor d(rest.substr(slash + 1));
  int year = 0;
  if (!d.Signed(year)) return false;
  if (year >= 0 && year < 70) {
    year += 2000;
  } else if (year >= 70 && year < 100) {
    year += 1900;
  }
  if (!IsLogYear(year) || !d.Accept(':')) return false;
  int hour = 0, minute = 0, second = 0;
  if (!d.Unsigned(hour) || hour > 24 || !d.Accept(':')) return false;
  if (!d.Unsigned(minute) || minute > 60 || !d.Accept(':')) return false;
  if (!d.Unsigned(second) || second > 60) return false;

  int zone = 0;
  bool zoned = false;
  d.SkipBlanks();
  char z = d.Peek();
  if (!d.AtEnd() && (z == '+' || z == '-' || IsDigit(z))) {
    int sign = 1;
    if (z == '+' || z == '-') {
      sign = z == '-' ? -1 : 1;
      d.Skip();
    }
    std::string_view digits = d.Rest().substr(0, 4);
    if (digits.size() != 4) return false;
    for (char ch : digits) {
      if (!IsDigit(ch)) return false;
    }
    int zh = (digits[0] - '0') * 10 + (digits[1] - '0');
    int zm = (digits[2] - '0') * 10 + (digits[3] - '0');
    if (zh >= 24 || zm >= 60) return false;
    zone = sign * (zh * 60 + zm) * 60;
    zoned = true;
  }
  value = ComposeTime(year, month, day, hour, minute, second);
  if (apply_zone) value += zone;
  if (zone_seconds) *zone_seconds = zone;
  if (has_zone) *has_zone = zoned;
  return true;
}

double ParseTimeOffset(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) < '!') ++i;
  Cursor c(text.substr(i));
  int sign = 1;
  if (c.Peek() == '+' || c.Peek() == '-') {
    sign = c.Peek() == '-' ? -1 : 1;
    c.Skip();
  }
  int hours = 0, minutes = 0, seconds = 0;
  if (!c.Unsigned(hours) || hours > 24) return 0;
  if (c.Accept(':')) {
    c.SkipBlanks();
    if (!c.Unsigned(minutes) || minutes > 59) return 0;
    if (c.Accept(':')) {
      c.SkipBlanks();
      if (!c.Unsigned(seconds) || seconds > 59) return 0;
    }
  }
  return sign * (hours * 3600.0 + minutes * 60.0 + seconds);
}

}  // namespace tf
