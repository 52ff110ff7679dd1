// The "Dates" and "Last run" pages of a site without their windows: texts
// of what the site's runs found.
#pragma once

#include <array>
#include <optional>
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
// Why the site's statistics cannot be reset now, or nothing: not while an
// analysis of the site runs, whose figures would mix with none.
std::optional<PageMessage> ResetRefusal(const CSite& site);

struct LabelledFigure {
  std::string_view label;
  std::string value;
};
// The figures of the last run in page order; `now` counts for a run that
// has not ended.
std::vector<LabelledFigure> LastRunFigures(const CSite& site, TimeValue now);

}  // namespace tf::console
