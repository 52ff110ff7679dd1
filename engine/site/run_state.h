// What a site keeps for its analysis runs: the hour and day being counted
// (kept from one run to the next in the same process, so that a later run
// adds to the same hourly and daily rows), the site totals of that hour and
// day, and the run's text items with their changed lists.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/common/time_value.h"
#include "engine/site/hit_status_table.h"
#include "engine/site/referrer_info.h"
#include "engine/site/search_referrer_memo.h"
#include "engine/site/session_tables.h"
#include "engine/site/text_item.h"
#include "engine/site/user_agent_cache.h"

namespace tf {

// The requested-file kinds, as indexes of the per-kind hit counters.
enum FileKindIndex {
  kKindWebPage,
  kKindImage,
  kKindDocument,
  kKindForm,
  kKindProgram,
  kKindOther,
  kFileKindCount
};

// A day's visitors new to tblVisitors and those returning. They are
// counted in turn with the day's visitor rows, on the run's writer when it
// has one, and read where the day's totals are written, after them.
struct NewAndReturning {
  std::int32_t new_visitors = 0;
  std::int32_t returning_visitors = 0;
};

// The site totals of one hour or one day.
struct PeriodTotals {
  std::int32_t hits[kFileKindCount] = {};
  std::int32_t sessions = 0;
  std::int32_t view_time = 0;  // of those sessions, seconds
  std::int32_t visitors = 0;
};

struct SiteRunState {
  // Start of the hour and of the day being counted; 0 until the first
  // record this site object has seen.
  TimeValue current_hour = 0;
  TimeValue current_day = 0;
  PeriodTotals hour;
  PeriodTotals day;
  // The day's new and returning visitors: shared with the writer's jobs,
  // and a new one for each day.
  std::shared_ptr<NewAndReturning> day_visitors = std::make_shared<NewAndReturning>();
  // Of the log files, as the log file set reports them.
  double bytes_read = 0;

  TextItemTable items;
  // The day's status-code counters.
  HitStatusTable hit_status;

  // What the referrer of the record being classified says.
  ReferrerInfo referrer;
  // Reused by the classification of every record, so that a record of a
  // known item allocates nothing.
  std::string scratch_host;
  std::string scratch_text;

  // What the run remembers of the user agents and referrers it met, so that
  // a repeated one is not classified again; freed at the run's end.
  UserAgentRunCache user_agents;
  SearchReferrerMemo search_referrers;

  // --- Visitors, sessions and click paths ---------------------------------
  SessionTables sessions;
  // The encoded record of the saved-sessions file, reused for every session.
  std::string session_record;
};

}  // namespace tf
