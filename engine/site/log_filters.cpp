// The include and exclude filters that every raw log line passes.
#include "engine/common/text.h"
#include "engine/site/site.h"

namespace tf {

namespace {

constexpr std::size_t kPatternSize = 200;

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

bool MatchesFilterList(std::string_view filter, std::string_view line) {
  std::size_t i = 0;
  for (;;) {
    while (i < filter.size() && (IsLineBreak(filter[i]) || filter[i] == ' ')) ++i;
    if (i == filter.size()) return false;
    std::size_t end = i;
    while (end < filter.size() && !IsLineBreak(filter[end])) ++end;
    std::string_view pattern = CutUtf8(filter.substr(i, end - i), kPatternSize - 1);
    if (FindCaseless(line, pattern) != std::string_view::npos) return true;
    i = end;
  }
}

bool CSite::PassesLogFilters(std::string_view line) {
  if (!settings.LogIncludeFilter.empty() && !MatchesFilterList(settings.LogIncludeFilter, line)) {
    ++history.stRejectInclude;
    return false;
  }
  if (!settings.LogExcludeFilter.empty() && MatchesFilterList(settings.LogExcludeFilter, line)) {
    ++history.stRejectExclude;
    return false;
  }
  return true;
}

}  // namespace tf
