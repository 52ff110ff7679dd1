#include "engine/ftp/remote_names.h"

#include "engine/common/text.h"

namespace tf {
namespace {

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualCaseless(std::string_view a, std::string_view b) {
  return a.size() == b.size() && FindCaseless(a, b) == 0;
}

}  // namespace

// Greedy walk with one backtrack point (the last '*'): linear in practice and
// without recursion, whatever the server's names or the user's pattern.
bool MatchWildcard(std::string_view pattern, std::string_view name) {
  if (pattern.empty() || pattern == "*" || EqualCaseless(pattern, name)) return true;
  constexpr std::size_t kNone = std::string_view::npos;
  std::size_t p = 0, n = 0, star = kNone, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      while (p < pattern.size() && pattern[p] == '*') ++p;
      star = p;
      resume = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || pattern[p] == '%' || Fold(pattern[p]) == Fold(name[n]))) {
      ++p;
      ++n;
    } else if (star != kNone) {
      p = star;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '?')) ++p;
  return p == pattern.size();
}

bool IsSafeRemoteName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  }
  return true;
}

}  // namespace tf
