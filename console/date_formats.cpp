#include "console/date_formats.h"

namespace tf::console {

int DateFormatIndex(int value) {
  for (int i = 0; i < static_cast<int>(std::size(DateFormatNames)); ++i) {
    if (DateFormatNames[i].value == value) return i;
  }
  return 0;
}

}  // namespace tf::console
