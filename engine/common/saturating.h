// Sums of counts that a hostile log can push past 64 bits: they stop at the
// bound instead of wrapping into negative figures.
#pragma once

#include <cstdint>
#include <limits>

namespace tf {

inline std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
  std::int64_t sum = 0;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}

}  // namespace tf
