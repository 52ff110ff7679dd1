// Small text helpers of the layer. SQL names and keywords are ASCII, and
// Jet compares them without regard to case.
#pragma once

#include <string>
#include <string_view>

namespace tf::db {

inline char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c; }

inline std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

inline bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

// Whether `part` occurs in `text`, letters compared without regard to case
// (how a declared column type is read: "BIGINT" holds "INT").
inline bool ContainsText(std::string_view text, std::string_view part) {
  for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
    if (SameText(text.substr(i, part.size()), part)) return true;
  }
  return false;
}

// `value` between `quote`s, a quote inside doubled: 'it''s', "a""b".
inline std::string Quote(std::string_view value, char quote) {
  std::string out(1, quote);
  for (char c : value) {
    out += c;
    if (c == quote) out += c;
  }
  out += quote;
  return out;
}

inline std::string QuoteName(std::string_view name) { return Quote(name, '"'); }

}  // namespace tf::db
