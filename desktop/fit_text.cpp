#include "desktop/fit_text.h"

#include <algorithm>

#include "engine/common/text.h"

namespace tf::desktop {

namespace {

constexpr std::size_t kLongestText = 498;
constexpr std::string_view kEllipsis = "...";

std::string_view WithoutTrailing(std::string_view text, std::string_view characters) {
  std::size_t end = text.find_last_not_of(characters);
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string FitSize(std::string_view text, std::size_t size) {
  return std::string(CutUtf8(text, size == 0 ? 0 : size - 1));
}

}  // namespace

std::string FitTextToWidth(const TextMeasure& measure, int width, std::string_view text,
                           std::size_t size) {
  std::string_view trimmed = WithoutTrailing(CutUtf8(text, kLongestText), " ");
  if (measure(trimmed) <= width) return FitSize(trimmed, size);
  long n = static_cast<long>(std::min<std::size_t>(size < 3 ? 0 : size - 3, trimmed.size())) - 1;
  if (n < 1) return FitSize(trimmed, size);
  std::string candidate;
  for (; n > 0; --n) {
    candidate = std::string(WithoutTrailing(CutUtf8(trimmed, static_cast<std::size_t>(n)), " ."));
    candidate += kEllipsis;
    if (measure(candidate) <= width - 3) break;
  }
  return FitSize(candidate, size);
}

}  // namespace tf::desktop
