// Numbers and dates as the console and the run summary show them.
#pragma once

#include <cstdint>
#include <string>

#include "engine/common/time_value.h"

namespace tf {

// 1901-01-01 00:00:00: dates not after it are shown empty.
TimeValue MinimumDate();

// The date as "%L", or the empty text when it is not after MinimumDate().
std::string FormatDateOrEmpty(TimeValue time);

// The value with ',' between groups of three digits and a leading '-' when
// negative. A max_width of 1 or more is a field width that counts a
// terminator: a text longer than max_width - 1 is written again without
// separators, and when still too long the field becomes max_width - 1 '*'.
// Blanks on the left then pad it to min_width, and the result never exceeds
// max_width - 1 characters.
std::string FormatThousands(std::int64_t value, int min_width, int max_width);

}  // namespace tf
