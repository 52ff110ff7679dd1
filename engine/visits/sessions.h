// Sessions: the visits of each visitor, counted into the site's statistics
// when they close (pages, entry and exit pages, view times, click path,
// search phrase and referrer), and the saved-sessions file that carries the
// sessions still open from one run to the next, so that a visit spanning
// two runs is counted once.
//
// Only the analysis thread opens, changes and closes sessions; the session
// list and the counters it feeds change under the statistics lock.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/common/time_value.h"
#include "engine/site/referrer_info.h"

namespace tf {

class CSite;
class CSession;
class CTextItem;
class SiteLockGuard;

// One accepted log record: continues the visitor's session or opens one.
// The client name is the log's text of a stand-in address.
void NewSession(CSite& site, std::string_view user_agent, std::uint32_t address,
                std::string_view client_name, CTextItem* page, TimeValue time,
                std::int64_t bytes_sent, const ReferrerInfo& referrer);
// Closes the sessions idle for longer than the site's time limit at `time`,
// or all of them with force.
void SessionFlush(CSite& site, TimeValue time, bool force);
// Closes one session, counts it and destroys it, under the caller's hold
// of the statistics lock.
void RemoveSession(CSession* session, CSite& site, const SiteLockGuard& held);

// Reads the sessions the previous run saved; true when the file was read
// to its end.
bool RestoreSessions(CSite& site);
// Writes the open sessions to the saved-sessions file and forgets them.
void SaveActiveSessions(CSite& site);

// --- Shared by the session counting and the saved-sessions file ---------
// A new empty session at the tail of the site's session list.
CSession* AppendSession(CSite& site);
// Counts the session's search phrase with its keywords and reached target
// pages, unless it has none or was counted before; then forgets the
// targets.
void CountSessionPhrase(CSite& site, CSession& session, std::int32_t count, std::int32_t total,
                        const SiteLockGuard& held);

}  // namespace tf
