#include "engine/recognise/agent_pattern.h"

#include <algorithm>

#include "engine/common/ascii.h"
#include "engine/common/text.h"

namespace tf {
namespace {

// End of the literal that starts at `from`: the next wildcard or the end.
std::size_t LiteralEnd(std::string_view pattern, std::size_t from) {
  while (from < pattern.size() && !IsAgentWildcard(pattern[from])) ++from;
  return from;
}

}  // namespace

bool MatchAgentPattern(std::string_view text, std::string_view pattern, std::string& version,
                       std::size_t version_size) {
  version.clear();
  const std::size_t version_max = version_size > 0 ? version_size - 1 : 0;
  constexpr std::size_t kNoStar = std::string_view::npos;
  std::size_t star = kNoStar;
  std::size_t t = 0;
  std::size_t p = 0;
  while (p < pattern.size() && t < text.size()) {
    const char c = pattern[p];
    if (c == '*') {
      std::size_t length = std::min(LiteralEnd(pattern, p + 1) - (p + 1), kStarLiteralMax);
      std::size_t at = FindCaseless(text.substr(t), pattern.substr(p + 1, length));
      if (at == std::string_view::npos) return false;
      star = p;
      t += at + length;
      p += 1 + length;
      continue;
    }
    bool ok = false;
    if (c == '+') {
      ok = text[t] == '+' || text[t] == ' ';
      if (ok) {
        ++t;
        ++p;
      }
    } else if (c == '#') {
      ok = IsVersionChar(text[t]);
      if (ok) {
        version.clear();
        while (t < text.size() && IsVersionChar(text[t]) && version.size() < version_max) {
          version.push_back(text[t++]);
        }
        ++p;
      }
    } else {
      std::size_t end = LiteralEnd(pattern, p);
      std::string_view literal = pattern.substr(p, end - p);
      ok = EqualsCaseless(text.substr(t, literal.size()), literal);
      if (ok) {
        t += literal.size();
        p = end;
      }
    }
    if (!ok) {
      if (star == kNoStar) return false;
      p = star;
      ++t;
    }
  }
  return p == pattern.size();
}

}  // namespace tf
