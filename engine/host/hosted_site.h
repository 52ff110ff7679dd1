// What the scheduler keeps per site beside the site itself.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/common/time_value.h"
#include "engine/host/analysis_thread.h"

namespace tf {

struct HostedSite {
  // The site's ProjectID when the record was made: a new site that a freed
  // site's address is reused for gets a record of its own.
  std::int32_t project_id = 0;
  // The hour of the day the schedule check last saw; -1 makes the first
  // check of a due hour start the site, even in the middle of the hour.
  int last_seen_hour = -1;
  // What the last tick reported; -1 reports any state at the first tick.
  std::int32_t shown_state = -1;
  TimeValue shown_next_run = 0;
  // The site's latest analysis.
  std::unique_ptr<AnalysisThread> thread;
};

}  // namespace tf
