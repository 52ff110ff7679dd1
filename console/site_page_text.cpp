#include "console/site_page_text.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "engine/common/text.h"

namespace tf::console {

std::string TrimmedField(std::string_view text, std::size_t size) {
  std::string trimmed(text);
  TrimBlanks(trimmed);
  return CutField(trimmed, size);
}

std::string CutField(std::string_view text, std::size_t size) {
  return std::string(CutUtf8(text, size == 0 ? 0 : size - 1));
}

std::int32_t ReadDecimal(std::string_view text) {
  std::string copy(text);
  errno = 0;
  long long value = std::strtoll(copy.c_str(), nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

std::string TrimRight(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return std::string(text.substr(0, end));
}

}  // namespace tf::console
