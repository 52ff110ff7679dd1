// The date layouts offered in the date-format lists of the settings pages,
// in the order shown, with the values the settings store.
#pragma once

#include <string_view>

namespace tf::console {

struct DateFormatName {
  std::string_view text;
  int value;
};

inline constexpr DateFormatName DateFormatNames[] = {
    {"mm/dd/yy", 0}, {"dd/mm/yy", 1}, {"yy/mm/dd", 2}};

// The entry that shows the value: the first one when none has it.
int DateFormatIndex(int value);

}  // namespace tf::console
