#include "engine/ftp/ftp_listing.h"

#include <cctype>
#include <cstdint>

#include "engine/common/text.h"

namespace tf {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A read position in one listing line.
class LineReader {
 public:
  explicit LineReader(std::string_view line) : line_(line) {}

  bool AtEnd() const { return pos_ >= line_.size(); }
  char Peek() const { return AtEnd() ? '\0' : line_[pos_]; }
  void Skip() { ++pos_; }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(line_[pos_])) ++pos_;
  }
  void SkipField() {
    while (!AtEnd() && !IsBlank(line_[pos_])) ++pos_;
  }
  bool SkipPast(char c) {
    std::size_t found = line_.find(c, pos_);
    if (found == std::string_view::npos) return false;
    pos_ = found + 1;
    return true;
  }
  std::string_view Field() {
    std::size_t start = pos_;
    SkipField();
    return line_.substr(start, pos_ - start);
  }
  std::string_view Rest() const { return AtEnd() ? std::string_view() : line_.substr(pos_); }

  // Decimal digits at the position; false when there are none. Values stop
  // growing after 18 digits (9 for int), so no field can overflow.
  bool Number(std::int64_t& value) {
    if (AtEnd() || !IsDigit(line_[pos_])) return false;
    value = 0;
    int digits = 0;
    while (!AtEnd() && IsDigit(line_[pos_])) {
      if (digits++ < 18) value = value * 10 + (line_[pos_] - '0');
      ++pos_;
    }
    return true;
  }
  bool Number(int& value) {
    std::int64_t wide = 0;
    if (!Number(wide)) return false;
    value = wide > 999999999 ? 999999999 : static_cast<int>(wide);
    return true;
  }

 private:
  std::string_view line_;
  std::size_t pos_ = 0;
};

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SetName(std::string_view name, RemoteFileEntry& entry) {
  name = TrimTrailingBlanks(name);
  if (name.empty()) return false;
  entry.name = std::string(CutUtf8(name, RemoteFileEntry::kNameSize - 1));
  return true;
}

// Two-digit years: 00-49 are 2000-2049, 50-99 are 1950-1999.
int WidenYear(int year) {
  if (year < 50) return year + 2000;
  if (year < 100) return year + 1900;
  return year;
}

// "01-15-07  10:30AM  12345 name" or "01-15-07  10:30PM  <DIR>  name".
bool ParseDosLine(std::string_view line, RemoteFileEntry& entry) {
  LineReader in(line);
  int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
  if (!in.Number(month) || in.Peek() != '-') return false;
  in.Skip();
  if (!in.Number(day) || in.Peek() != '-') return false;
  in.Skip();
  if (!in.Number(year)) return false;
  year = WidenYear(year);
  in.SkipField();
  in.SkipBlanks();
  if (!in.Number(hour) || !in.SkipPast(':') || !in.Number(minute)) return false;
  if (in.Peek() == ':') {
    in.Skip();
    if (!in.Number(second)) return false;
  }
  in.SkipBlanks();
  // An AM or PM mark; 12 AM is midnight and 12 PM noon.
  char mark = static_cast<char>(std::toupper(static_cast<unsigned char>(in.Peek())));
  if (mark == 'A' || mark == 'P') {
    if (mark == 'P' && hour >= 1 && hour <= 11) hour += 12;
    if (mark == 'A' && hour == 12) hour = 0;
    in.SkipField();
    in.SkipBlanks();
  }
  std::string_view field = in.Field();
  if (field == "<DIR>") {
    entry.is_directory = true;
    entry.size = 0;
  } else {
    LineReader size_reader(field);
    std::int64_t size = 0;
    if (!size_reader.Number(size) || !size_reader.AtEnd()) return false;
    entry.size = static_cast<std::uint64_t>(size);
  }
  in.SkipBlanks();
  if (!SetName(in.Rest(), entry)) return false;
  entry.date = ComposeTime(year, month, day, hour, minute, second);
  return true;
}

int MonthNumber(std::string_view word) {
  static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  std::string upper(word);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (int i = 0; i < 12; ++i) {
    if (upper == kMonths[i]) return i + 1;
  }
  return 13;  // no date: such an entry counts as very old
}

// "-rw-r--r--   1 owner group  1024 Jan 15 10:30 name" or
// "lrwxrwxrwx   1 owner group    12 Dec 31  2006 name -> target".
bool ParseUnixLine(std::string_view line, TimeValue now, RemoteFileEntry& entry) {
  LineReader in(line);
  entry.is_directory = line[0] == 'd' || line[0] == 'l';
  while (!in.AtEnd() && !IsBlank(in.Peek()) && !IsDigit(in.Peek())) in.Skip();
  for (int i = 0; i < 3; ++i) {
    in.SkipBlanks();
    in.SkipField();
  }
  in.SkipBlanks();
  std::int64_t size = 0;
  if (!in.Number(size)) return false;
  entry.size = static_cast<std::uint64_t>(size);
  in.SkipBlanks();
  int month = MonthNumber(in.Field());
  in.SkipBlanks();
  int day = 0;
  if (!in.Number(day)) return false;
  in.SkipBlanks();
  std::string_view stamp = in.Field();
  int year = 0, hour = 0, minute = 0;
  if ((stamp.size() > 1 && stamp[1] == ':') || (stamp.size() > 2 && stamp[2] == ':')) {
    LineReader clock(stamp);
    if (!clock.Number(hour)) return false;
    clock.Skip();
    if (!clock.Number(minute)) return false;
    int now_month = 0, now_day = 0;
    SplitDate(now, year, now_month, now_day);
    if (month > now_month) --year;
  } else {
    LineReader year_reader(stamp);
    if (!year_reader.Number(year)) return false;
    year = WidenYear(year);
  }
  in.SkipBlanks();
  std::string_view name = in.Rest();
  std::size_t arrow = name.find("->");
  if (arrow != std::string_view::npos) name = name.substr(0, arrow);
  if (!SetName(name, entry)) return false;
  entry.date = ComposeTime(year, month, day, hour, minute, 0);
  return true;
}

}  // namespace

void ParseListing(std::string_view text, TimeValue now, CRemoteFileList& list) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n' || IsBlank(text[pos]))) ++pos;
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end;
    if (line.empty()) continue;
    RemoteFileEntry entry;
    bool read = IsDigit(line[0]) ? ParseDosLine(line, entry) : ParseUnixLine(line, now, entry);
    if (!read || entry.name == "." || entry.name == "..") continue;
    list.Append(std::move(entry));
  }
}

}  // namespace tf
