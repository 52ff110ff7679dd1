// The "Dates" and "Last run" pages of a site without their windows: texts
// of what the site's runs found.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "console/site_page_text.h"
#include "engine/common/time_value.h"

namespace tf {
class CSite;
}

namespace tf::console {

// "Last analysis:", "Last log file completed:", "Last record processed:".
struct SiteDatesTexts {
  std::string last_scan;
  std::string last_file;
  std::string last_record;
};
SiteDatesTexts FillSiteDates(const CSite& site);
PageMessage ConfirmResetMessage();

struct LabelledFigure {
  std::string_view label;
  std::string value;
};
// The figures of the last run in page order; `now` counts for a run that
// has not ended.
std::vector<LabelledFigure> LastRunFigures(const CSite& site, TimeValue now);

}  // namespace tf::console
