// What a run keeps of its visitors, their open sessions and the click-path
// steps of the closed ones. The tables own every visitor, session and path
// node; the indexes only point into them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/common/owning_list.h"
#include "engine/common/time_value.h"
#include "engine/site/path_index.h"
#include "engine/site/visitor_index.h"

namespace tf {

class CTextItem;
class CSession;

// One client address seen by the run.
struct CVisitor {
  std::unique_ptr<CVisitor> next;  // the visitor list, newest first
  CVisitor* previous = nullptr;
  std::uint32_t address = 0;
  // The log's client text of a stand-in address, which is its domain name.
  std::string client_name;
  std::int32_t hour_hits = 0;
  std::int32_t day_hits = 0;
  std::int64_t day_bytes = 0;  // a busy visitor's bytes outgrow 32 bits in a day
  std::int32_t day_sessions = 0;
  std::int32_t day_view_time = 0;
  bool agent_classified = false;  // in the open session
  bool returning_checked = false;
  bool on_hour_list = false;
  CSession* session = nullptr;  // the open session
};

struct SessionPageHit {
  CTextItem* page = nullptr;
  TimeValue time = 0;
  std::int32_t view_time = 0;  // seconds, set when the session closes
};

// One open visit of one visitor.
class CSession {
 public:
  // Page and target lists emptied, everything else back to zero; the lists
  // keep their capacity, so that a reused session allocates nothing.
  void Clear();
  // Sets each page hit's view time; count is the number of intervals
  // between page hits (1 when there is none), total the session's view
  // time.
  void ComputeViewTimes(std::int32_t& count, std::int32_t& total);

  std::unique_ptr<CSession> next;  // the open sessions, oldest first
  CSession* previous = nullptr;
  CVisitor* visitor = nullptr;
  std::vector<SessionPageHit> pages;
  TimeValue first_hit = 0;
  TimeValue last_hit = 0;
  CTextItem* last_page = nullptr;
  std::string referring_page;
  std::string referrer_name;
  std::int32_t referrer_item_id = 0;
  std::int32_t referrer_category = 0;
  std::vector<std::int32_t> targets;  // ItemIDs of the target pages reached
  std::string search_phrase;
  // The phrase was counted already, when the run that saved the session
  // ended; it is not counted a second time.
  bool phrase_counted = false;
};

// One step from a page to the next within sessions.
struct CPathNode {
  std::unique_ptr<CPathNode> next;  // the path list, newest first
  CPathNode* previous = nullptr;
  CPathNode* next_day = nullptr;  // the day list, newest first
  CTextItem* from = nullptr;
  CTextItem* to = nullptr;
  std::int32_t day_hits = 0;
  std::int32_t day_entries = 0;
  std::int32_t day_exits = 0;
  bool on_day_list = false;
};

struct SessionTables {
  SessionTables() = default;
  ~SessionTables();
  SessionTables(const SessionTables&) = delete;
  SessionTables& operator=(const SessionTables&) = delete;

  // Every visitor, session and path node destroyed, sessions uncounted.
  void ReleaseVisitors();
  void ReleaseSessions();
  void ReleasePaths();

  // A cleared session at the tail of the session list, reused when one was
  // closed before.
  CSession& AppendSession();
  // Takes the session off the session list and off its visitor, then
  // frees it or keeps it for reuse.
  void DiscardSession(CSession* session);

  OwningList<CVisitor> visitors;
  VisitorIndex visitor_index;
  // The visitor of the latest hit: most records follow one of the same
  // client.
  CVisitor* last_visitor = nullptr;
  // The visitors with hits in the current hour, so that the hour's count
  // does not walk every visitor of the day.
  std::vector<CVisitor*> hour_visitors;
  // The visitors whose new-or-returning test waits for the day change.
  std::vector<CVisitor*> unchecked_visitors;

  OwningList<CSession> open_sessions;
  std::vector<std::unique_ptr<CSession>> spare_sessions;

  OwningList<CPathNode> paths;
  CPathNode* day_paths = nullptr;
  PathIndex path_index;
};

}  // namespace tf
