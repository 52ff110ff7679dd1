#include "platform/db/jet_date.h"

#include <cstdio>

#include "platform/db/text.h"

namespace tf::db {
namespace {

// A cursor over date text; each reader consumes what it accepts.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }
  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  bool Take(char c) {
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  // 1 to max_digits digits; `digits` receives how many were read.
  bool Number(int max_digits, int& value, int* digits = nullptr) {
    int count = 0;
    value = 0;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9' && count < max_digits) {
      value = value * 10 + (text_[pos_] - '0');
      ++pos_;
      ++count;
    }
    if (digits) *digits = count;
    return count > 0 && !(pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9');
  }
  // "AM" or "PM" in any case; 0 none, 1 AM, 2 PM.
  int Meridiem() {
    if (text_.size() - pos_ < 2) return 0;
    char a = static_cast<char>(text_[pos_] | 0x20), m = static_cast<char>(text_[pos_ + 1] | 0x20);
    if (m != 'm' || (a != 'a' && a != 'p')) return 0;
    pos_ += 2;
    return a == 'a' ? 1 : 2;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

bool ValidDate(const DateParts& p) {
  return p.year >= 1 && p.year <= 9999 && p.month >= 1 && p.month <= 12 && p.day >= 1 &&
         p.day <= DaysInMonth(p.year, p.month);
}

// "h:nn[:ss] [AM|PM]" at the scanner.
bool ReadClock(Scanner& s, DateParts& p) {
  if (!s.Number(2, p.hour) || !s.Take(':') || !s.Number(2, p.minute)) return false;
  if (s.Take(':') && !s.Number(2, p.second)) return false;
  s.SkipBlanks();
  int meridiem = s.Meridiem();
  if (meridiem != 0) {
    if (p.hour < 1 || p.hour > 12) return false;
    if (p.hour == 12) p.hour = 0;
    if (meridiem == 2) p.hour += 12;
  }
  return p.hour <= 23 && p.minute <= 59 && p.second <= 59;
}

// A time after a date, when there is one, then the end of the text.
bool ReadOptionalClock(Scanner& s, DateParts& p) {
  s.SkipBlanks();
  if (!s.AtEnd() && !ReadClock(s, p)) return false;
  s.SkipBlanks();
  return s.AtEnd();
}

}  // namespace

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::optional<DateParts> ParseJetDate(std::string_view text) {
  DateParts p;
  Scanner s(text);
  s.SkipBlanks();
  int first = 0, digits = 0;
  if (!s.Number(4, first, &digits)) return std::nullopt;
  if (digits == 4 && s.Take('-')) {  // yyyy-mm-dd
    p.year = first;
    if (!s.Number(2, p.month) || !s.Take('-') || !s.Number(2, p.day)) return std::nullopt;
    s.Take('T');
  } else if (digits <= 2 && s.Take('/')) {  // m/d/y
    p.month = first;
    int year_digits = 0;
    if (!s.Number(2, p.day) || !s.Take('/') || !s.Number(4, p.year, &year_digits)) {
      return std::nullopt;
    }
    if (year_digits <= 2) p.year += p.year < 30 ? 2000 : 1900;
  } else {  // a time alone, on the day automation dates count from
    Scanner clock(text);
    clock.SkipBlanks();
    p = DateParts{1899, 12, 30};
    if (!ReadClock(clock, p)) return std::nullopt;
    clock.SkipBlanks();
    return clock.AtEnd() ? std::optional<DateParts>(p) : std::nullopt;
  }
  if (!ReadOptionalClock(s, p) || !ValidDate(p)) return std::nullopt;
  return p;
}

std::optional<DateParts> ParseStoredDate(std::string_view text) {
  if (text.size() != 19) return std::nullopt;
  static const char kShape[] = "dddd-dd-dd dd:dd:dd";
  for (std::size_t i = 0; i < 19; ++i) {
    bool digit = text[i] >= '0' && text[i] <= '9';
    if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) return std::nullopt;
  }
  auto num = [&](std::size_t at, std::size_t n) {
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) v = v * 10 + (text[i] - '0');
    return v;
  };
  DateParts p{num(0, 4), num(5, 2), num(8, 2), num(11, 2), num(14, 2), num(17, 2)};
  if (!ValidDate(p) || p.hour > 23 || p.minute > 59 || p.second > 59) return std::nullopt;
  return p;
}

std::optional<DateParts> ParseDateText(std::string_view text) {
  std::optional<DateParts> date = ParseStoredDate(text);
  return date ? date : ParseJetDate(text);
}

namespace {

// Writes value in exactly `width` digits; false when it does not fit.
bool PutDigits(char* at, int value, int width) {
  if (value < 0) return false;
  for (int i = width - 1; i >= 0; --i, value /= 10) at[i] = static_cast<char>('0' + value % 10);
  return value == 0;
}

}  // namespace

std::string FormatStoredDate(const DateParts& p) {
  // Written by hand: each new item and each flushed date costs one, and a
  // formatted print costs many times more.
  std::string text = "0000-00-00 00:00:00";
  if (PutDigits(&text[0], p.year, 4) && PutDigits(&text[5], p.month, 2) &&
      PutDigits(&text[8], p.day, 2) && PutDigits(&text[11], p.hour, 2) &&
      PutDigits(&text[14], p.minute, 2) && PutDigits(&text[17], p.second, 2)) {
    return text;
  }
  char buffer[80];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day,
                p.hour, p.minute, p.second);
  return buffer;
}

com::AutomationDate ToAutomationDate(const DateParts& p) {
  return com::MakeAutomationDate(p.year, p.month, p.day, p.hour, p.minute, p.second);
}

DateParts FromAutomationDate(com::AutomationDate value) {
  DateParts p;
  com::SplitAutomationDate(value, p.year, p.month, p.day, p.hour, p.minute, p.second);
  return p;
}

bool IsDateType(std::string_view declared_type) {
  return ContainsText(declared_type, "DATE") || ContainsText(declared_type, "TIME");
}

}  // namespace tf::db
