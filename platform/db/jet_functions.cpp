#include "platform/db/jet_functions.h"

#include <sqlite3.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "platform/db/jet_date.h"

namespace tf::db {
namespace {

// ---------------------------------------------------------------------------
// LIKE

char32_t Fold(char32_t c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

// Decodes UTF-8; a byte that does not start a valid sequence stands alone.
std::u32string Decode(std::string_view text) {
  std::u32string out;
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    int extra = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : 0;
    char32_t c = extra == 0 ? b : b & (0x3F >> extra);
    bool valid = extra == 0 || i + extra < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
      unsigned char next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    if (!valid) {
      extra = 0;
      c = b;
    }
    out += c;
    i += 1 + static_cast<std::size_t>(extra);
  }
  return out;
}

// One pattern element that matches one character, or a run (kStar).
struct Atom {
  enum Kind { kStar, kAny, kDigit, kChar, kSet };
  explicit Atom(Kind k, char32_t ch = 0) : kind(k), c(ch) {}

  Kind kind;
  char32_t c = 0;
  bool negate = false;
  std::vector<std::pair<char32_t, char32_t>> ranges;

  bool Matches(char32_t x) const {
    switch (kind) {
      case kAny: return true;
      case kDigit: return x >= '0' && x <= '9';
      case kChar: return Fold(x) == Fold(c);
      case kSet: {
        bool in = false;
        for (auto [lo, hi] : ranges) in |= Fold(x) >= Fold(lo) && Fold(x) <= Fold(hi);
        return in != negate;
      }
      default: return false;
    }
  }
};

std::vector<Atom> Compile(const std::u32string& p, char32_t escape) {
  std::vector<Atom> atoms;
  for (std::size_t i = 0; i < p.size(); ++i) {
    char32_t c = p[i];
    if (escape != 0 && c == escape && i + 1 < p.size()) {
      atoms.emplace_back(Atom::kChar, p[++i]);
    } else if (c == '*') {
      if (atoms.empty() || atoms.back().kind != Atom::kStar) atoms.emplace_back(Atom::kStar);
    } else if (c == '?') {
      atoms.emplace_back(Atom::kAny);
    } else if (c == '#') {
      atoms.emplace_back(Atom::kDigit);
    } else if (c == '[' && p.find(']', i + 1) != std::u32string::npos) {
      std::size_t close = p.find(']', i + 1);
      Atom set(Atom::kSet);
      std::size_t k = i + 1;
      if (k < close && p[k] == '!') {
        set.negate = true;
        ++k;
      }
      for (; k < close; ++k) {
        if (k + 2 < close && p[k + 1] == '-') {
          set.ranges.push_back({p[k], p[k + 2]});
          k += 2;
        } else {
          set.ranges.push_back({p[k], p[k]});
        }
      }
      i = close;
      if (!set.ranges.empty() || set.negate) atoms.push_back(std::move(set));  // "[]" matches nothing
    } else {
      atoms.emplace_back(Atom::kChar, c);
    }
  }
  return atoms;
}

}  // namespace

bool JetLike(std::string_view pattern, std::string_view text, char32_t escape) {
  std::vector<Atom> atoms = Compile(Decode(pattern), escape);
  std::u32string s = Decode(text);
  // Every atom but * takes exactly one character, so the classic walk that
  // backs up to the last * is enough, and never exponential.
  std::size_t a = 0, i = 0, star = std::string::npos, star_i = 0;
  while (i < s.size()) {
    if (a < atoms.size() && atoms[a].kind == Atom::kStar) {
      star = a++;
      star_i = i;
    } else if (a < atoms.size() && atoms[a].Matches(s[i])) {
      ++a;
      ++i;
    } else if (star != std::string::npos) {
      a = star + 1;
      i = ++star_i;
    } else {
      return false;
    }
  }
  while (a < atoms.size() && atoms[a].kind == Atom::kStar) ++a;
  return a == atoms.size();
}

namespace {

std::string_view Text(sqlite3_value* v) {
  const unsigned char* text = sqlite3_value_text(v);
  return text ? std::string_view(reinterpret_cast<const char*>(text),
                                 static_cast<std::size_t>(sqlite3_value_bytes(v)))
              : std::string_view();
}

bool AnyNull(int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i) {
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
  }
  return false;
}

void Like(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  char32_t escape = 0;
  if (argc == 3) {
    std::u32string e = Decode(Text(argv[2]));
    if (e.size() != 1) return sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
    escape = e[0];
  }
  sqlite3_result_int(ctx, JetLike(Text(argv[0]), Text(argv[1]), escape) ? 1 : 0);
}

// ---------------------------------------------------------------------------
// Dates

const char kMismatch[] = "Data type mismatch in criteria expression.";
const char kInvalidCall[] = "Invalid procedure call or argument.";

std::optional<DateParts> DateArg(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      return FromAutomationDate(sqlite3_value_double(v));
    case SQLITE_TEXT:
      return ParseDateText(Text(v));
    default:
      return std::nullopt;
  }
}

// Day of the week with Sunday as 0.
int DayOfWeek(const DateParts& p) {
  double days = std::floor(ToAutomationDate(DateParts{p.year, p.month, p.day}));
  // Automation day 0 (12/30/1899) was a Saturday.
  return static_cast<int>(std::fmod(std::fmod(days + 6, 7) + 7, 7));
}

int DayOfYear(const DateParts& p) {
  int n = p.day;
  for (int m = 1; m < p.month; ++m) n += DaysInMonth(p.year, m);
  return n;
}

// First day of the week: 0 (the system's, Sunday) or 1 = Sunday ... 7.
std::optional<int> FirstDay(int argc, sqlite3_value** argv, int index) {
  if (argc <= index) return 1;
  int first = sqlite3_value_int(argv[index]);
  if (first < 0 || first > 7) return std::nullopt;
  return first == 0 ? 1 : first;
}

int WeekdayFrom(const DateParts& p, int first_day) { return (DayOfWeek(p) - (first_day - 1) + 7) % 7 + 1; }

// Runs `body` with the date of argv[date_index] when every argument is
// usable; NULL in, NULL out.
template <typename Body>
void WithDate(sqlite3_context* ctx, int argc, sqlite3_value** argv, int date_index, Body body) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  std::optional<DateParts> date = DateArg(argv[date_index]);
  if (!date) return sqlite3_result_error(ctx, kMismatch, -1);
  body(*date);
}

template <int DateParts::*Field>
void PartFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  WithDate(ctx, argc, argv, 0, [&](const DateParts& p) { sqlite3_result_int(ctx, p.*Field); });
}

void Weekday(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  WithDate(ctx, argc, argv, 0, [&](const DateParts& p) {
    std::optional<int> first = FirstDay(argc, argv, 1);
    if (!first) return sqlite3_result_error(ctx, kInvalidCall, -1);
    sqlite3_result_int(ctx, WeekdayFrom(p, *first));
  });
}

// DatePart(interval, date [, first day of week [, first week of year]]);
// week 1 is the week that holds 1 January.
void DatePart(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  WithDate(ctx, argc, argv, 1, [&](const DateParts& p) {
    std::string interval(Text(argv[0]));
    for (char& c : interval) c = static_cast<char>(c | 0x20);
    std::optional<int> first = FirstDay(argc, argv, 2);
    int first_week = argc > 3 ? sqlite3_value_int(argv[3]) : 1;
    if (!first || (first_week != 0 && first_week != 1)) return sqlite3_result_error(ctx, kInvalidCall, -1);
    int value;
    if (interval == "yyyy") value = p.year;
    else if (interval == "q") value = (p.month - 1) / 3 + 1;
    else if (interval == "m") value = p.month;
    else if (interval == "y") value = DayOfYear(p);
    else if (interval == "d") value = p.day;
    else if (interval == "w") value = WeekdayFrom(p, *first);
    else if (interval == "ww") {
      int offset = WeekdayFrom(DateParts{p.year, 1, 1}, *first) - 1;
      value = (DayOfYear(p) - 1 + offset) / 7 + 1;
    } else if (interval == "h") value = p.hour;
    else if (interval == "n") value = p.minute;
    else if (interval == "s") value = p.second;
    else return sqlite3_result_error(ctx, kInvalidCall, -1);
    sqlite3_result_int(ctx, value);
  });
}

// DateSerial(year, month, day): months and days beyond their range carry
// into the next (or previous) month and year, as Jet does.
void DateSerial(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  long long year = sqlite3_value_int64(argv[0]);
  long long month = sqlite3_value_int64(argv[1]);
  long long day = sqlite3_value_int64(argv[2]);
  if (year >= 0 && year < 30) year += 2000;
  else if (year >= 30 && year < 100) year += 1900;
  long long months = year * 12 + (month - 1);
  long long y = months >= 0 ? months / 12 : -((-months + 11) / 12);
  long long m = months - y * 12 + 1;
  if (y < 100 || y > 9999 || std::llabs(day) > 3660000) return sqlite3_result_error(ctx, kInvalidCall, -1);
  double value = ToAutomationDate(DateParts{static_cast<int>(y), static_cast<int>(m), 1}) +
                 static_cast<double>(day - 1);
  DateParts p = FromAutomationDate(value);
  if (p.year < 100 || p.year > 9999) return sqlite3_result_error(ctx, kInvalidCall, -1);
  std::string text = FormatStoredDate(p);
  sqlite3_result_text(ctx, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Define(sqlite3* db, const char* name, int args, void (*fn)(sqlite3_context*, int, sqlite3_value**)) {
  sqlite3_create_function_v2(db, name, args, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                             nullptr, fn, nullptr, nullptr, nullptr);
}

}  // namespace

void RegisterJetFunctions(sqlite3* db) {
  Define(db, "like", 2, Like);
  Define(db, "like", 3, Like);
  Define(db, "hour", 1, PartFunction<&DateParts::hour>);
  Define(db, "minute", 1, PartFunction<&DateParts::minute>);
  Define(db, "second", 1, PartFunction<&DateParts::second>);
  Define(db, "year", 1, PartFunction<&DateParts::year>);
  Define(db, "month", 1, PartFunction<&DateParts::month>);
  Define(db, "day", 1, PartFunction<&DateParts::day>);
  Define(db, "weekday", 1, Weekday);
  Define(db, "weekday", 2, Weekday);
  for (int args = 2; args <= 4; ++args) Define(db, "datepart", args, DatePart);
  Define(db, "dateserial", 3, DateSerial);
}

}  // namespace tf::db
