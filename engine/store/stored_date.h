// Dates as bound parameters of the statistics statements. A parameter that
// is compared with a date column must be in the stored form
// ("YYYY-MM-DD HH:MM:SS"), since only values written into a date column are
// converted by the database layer.
#pragma once

#include <string>

#include "engine/common/time_value.h"

namespace tf {

// The stored form of the "%D" text of t; time 0 is 1900-01-01 00:00:00.
std::string StoredDateText(TimeValue t);

}  // namespace tf
