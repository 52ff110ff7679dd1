#include "engine/analysis/ascii.h"

namespace tf {

std::size_t FindCaselessFrom(std::string_view text, std::string_view what, std::size_t from) {
  if (from > text.size()) return std::string_view::npos;
  if (what.empty()) return from;
  const char first = ToLowerAscii(what[0]);
  const std::string_view rest = what.substr(1);
  for (std::size_t i = from; i + what.size() <= text.size(); ++i) {
    if (ToLowerAscii(text[i]) == first && EqualsCaseless(text.substr(i + 1, rest.size()), rest)) return i;
  }
  return std::string_view::npos;
}

}  // namespace tf
