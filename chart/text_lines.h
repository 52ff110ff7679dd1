// Chart texts hold several lines separated by '\n' or '~'.
#pragma once

#include <string_view>
#include <vector>

namespace tf::chart {

// The lines of a text; a separator at the very end starts no empty line,
// and an empty text has none.
std::vector<std::string_view> SplitTextLines(std::string_view text);

}  // namespace tf::chart
