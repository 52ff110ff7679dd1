#include "engine/site/session_tables.h"

#include <cmath>
#include <functional>

#include "engine/common/whole_seconds.h"

namespace tf {

namespace {

// A reused session keeps the capacity of its lists up to this many entries;
// a crawler's long session does not stay in memory after it closed.
constexpr std::size_t kKeptCapacity = 256;
// Closed sessions kept for reuse; enough for the turnover of a busy hour.
constexpr std::size_t kMaxSpareSessions = 4096;

template <typename T>
void TrimCapacity(std::vector<T>& list) {
  if (list.capacity() > kKeptCapacity) std::vector<T>().swap(list);
}

}  // namespace

void CSession::Clear() {
  previous = nullptr;  // next is empty: the session is off the list
  visitor = nullptr;
  pages.clear();
  first_hit = last_hit = 0;
  last_page = nullptr;
  referring_page.clear();
  referrer_name.clear();
  referrer_item_id = referrer_category = 0;
  targets.clear();
  search_phrase.clear();
  phrase_counted = false;
}

void CSession::ComputeViewTimes(std::int32_t& count, std::int32_t& total) {
  std::int64_t sum = 0;
  std::int64_t intervals = 0;
  for (std::size_t i = 0; i + 1 < pages.size(); ++i) {
    pages[i].view_time = WholeSeconds(pages[i + 1].time - pages[i].time + 0.5);
    sum += pages[i].view_time;
    ++intervals;
  }
  if (intervals == 0) {
    // A single page was looked at for an assumed 10 seconds.
    sum = 10;
    intervals = 1;
  }
  std::int64_t average = sum / intervals;
  if (!pages.empty()) pages.back().view_time = ClampToInt32(average);
  count = ClampToInt32(intervals);
  total = ClampToInt32(intervals > 1 ? sum + average : sum);
}

SessionTables::~SessionTables() {
  // The open sessions first: taking one off its visitor needs the visitor.
  ReleaseSessions();
}

void SessionTables::ReleaseVisitors() {
  visitor_index.Clear();
  last_visitor = nullptr;
  hour_visitors.clear();
  unchecked_visitors.clear();
  for (CVisitor* visitor = visitors.front(); visitor != nullptr; visitor = visitor->next.get()) {
    if (visitor->session != nullptr && visitor->session->visitor == visitor) {
      visitor->session->visitor = nullptr;
    }
  }
  visitors.Clear();
}

void SessionTables::ReleaseSessions() {
  while (!open_sessions.empty()) DiscardSession(open_sessions.front());
}

void SessionTables::ReleasePaths() {
  path_index.Clear();
  day_paths = nullptr;
  paths.Clear();
}

CSession& SessionTables::AppendSession() {
  std::unique_ptr<CSession> session;
  if (spare_sessions.empty()) {
    session = std::make_unique<CSession>();
  } else {
    session = std::move(spare_sessions.back());
    spare_sessions.pop_back();
  }
  return open_sessions.PushBack(std::move(session));
}

void SessionTables::DiscardSession(CSession* session) {
  if (session->visitor != nullptr && session->visitor->session == session) {
    session->visitor->session = nullptr;
  }
  std::unique_ptr<CSession> closed = open_sessions.Take(*session);
  if (spare_sessions.size() >= kMaxSpareSessions) return;
  closed->Clear();
  TrimCapacity(closed->pages);
  TrimCapacity(closed->targets);
  spare_sessions.push_back(std::move(closed));
}

}  // namespace tf
