#include "engine/common/display.h"

namespace tf {

TimeValue MinimumDate() {
  static const TimeValue minimum = ComposeTime(1901, 1, 1, 0, 0, 0);
  return minimum;
}

std::string FormatDateOrEmpty(TimeValue time) {
  return time > MinimumDate() ? FormatTime("%L", time) : std::string();
}

std::string FormatThousands(std::int64_t value, int min_width, int max_width) {
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                      : static_cast<std::uint64_t>(value);
  std::string digits = std::to_string(magnitude);
  std::string sign = value < 0 ? "-" : "";

  std::string text = sign;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text.push_back(',');
    text.push_back(digits[i]);
  }

  std::size_t room = max_width >= 1 ? static_cast<std::size_t>(max_width - 1) : std::string::npos;
  if (text.size() > room) {
    text = sign + digits;
    if (text.size() > room) text.assign(room, '*');
  }
  if (min_width > 0 && text.size() < static_cast<std::size_t>(min_width)) {
    text.insert(0, static_cast<std::size_t>(min_width) - text.size(), ' ');
  }
  if (text.size() > room) text.resize(room);
  return text;
}

}  // namespace tf
