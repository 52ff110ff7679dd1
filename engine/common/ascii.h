// ASCII case folding for log fields and classifications. Only A-Z fold;
// every other byte, UTF-8 included, compares as itself.
#pragma once

#include <cstddef>
#include <string_view>

namespace tf {

constexpr char ToLowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }
inline bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsAsciiAlphanumeric(char c) { return IsAsciiLetter(c) || IsAsciiDigit(c); }

inline bool EqualsCaseless(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
  }
  return true;
}

inline bool StartsWithCaseless(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsCaseless(text.substr(0, prefix.size()), prefix);
}

}  // namespace tf
