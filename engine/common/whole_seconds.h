// Seconds as the 32-bit counters of the statistics hold them. Times come
// from log files and from the saved-sessions file, so a difference may be
// anything a double holds; it is cut to the counter's range instead of
// overflowing.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace tf {

inline std::int32_t ClampToInt32(std::int64_t value) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value > kMax ? kMax : value < kMin ? kMin : value);
}

// Truncated toward zero; NaN gives 0.
inline std::int32_t WholeSeconds(double seconds) {
  if (std::isnan(seconds)) return 0;
  if (seconds >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (seconds <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(seconds);
}

}  // namespace tf
