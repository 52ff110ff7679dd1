// Sessions: the visits of each visitor, counted into the site's statistics
// when they close, and the saved-sessions file that carries the sessions
// still open from one run to the next.
//
// The run calls these at the places where sessions open, close and are
// saved; the counting itself comes with the session statistics, until then
// they do nothing.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/analysis/referrer_info.h"
#include "engine/logs/time_value.h"

namespace tf {

class CSite;
class CTextItem;

// One accepted log record: continues the visitor's session or opens one.
void NewSession(CSite& site, std::string_view user_agent, std::uint32_t address, CTextItem* page,
                TimeValue time, std::int64_t bytes_sent, const ReferrerInfo& referrer);
// Closes the sessions idle for longer than the site's time limit at `time`,
// or all of them with force.
void SessionFlush(CSite& site, TimeValue time, bool force);
// Reads the sessions the previous run saved; true when the file was read
// to its end.
bool RestoreSessions(CSite& site);
// Writes the open sessions to the saved-sessions file and forgets them.
void SaveActiveSessions(CSite& site);

}  // namespace tf
