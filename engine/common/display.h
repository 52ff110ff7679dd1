// Numbers and dates as the console and the run summary show them.
#pragma once

#include <cstdint>
#include <string>

namespace tf {

// The value with ',' between groups of three digits and a leading '-' when
// negative. A max_width of 1 or more is a field width that counts a
// terminator: a text longer than max_width - 1 is written again without
// separators, and when still too long the field becomes max_width - 1 '*'.
// Blanks on the left then pad it to min_width, and the result never exceeds
// max_width - 1 characters.
std::string FormatThousands(std::int64_t value, int min_width, int max_width);

}  // namespace tf
