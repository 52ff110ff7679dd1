#include "engine/visits/visitors.h"

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/common/address.h"
#include "engine/common/heap_sort.h"
#include "engine/common/text.h"
#include "engine/logs/client_address.h"
#include "engine/names/domain_translation.h"
#include "engine/site/session_tables.h"
#include "engine/site/site.h"
#include "engine/site/stat_bits.h"
#include "engine/stats/flush_support.h"
#include "engine/stats/period_writes.h"
#include "engine/store/field_values.h"

namespace tf {

namespace {

constexpr std::size_t kClientNameMax = 99;

bool CountsRegions(const CSite& site) { return (site.settings.DayStats & kRegionStats) != 0; }

// The visitors of the day whose visit is over, in list order.
std::vector<CVisitor*> SelectDayVisitors(SessionTables& tables) {
  std::vector<CVisitor*> selection;
  for (CVisitor* v = tables.visitors.front(); v != nullptr; v = v->next.get()) {
    if (v->session == nullptr && v->day_hits > 0) selection.push_back(v);
  }
  return selection;
}

// How many of the selection get a tblVisitors row; with a top, the
// selection is sorted so that those come first.
std::size_t ChooseVisitorsToWrite(CSite& site, std::vector<CVisitor*>& selection) {
  const SiteSettings& s = site.settings;
  std::size_t n = selection.size();
  if (s.VisitorsStore == 2) return n;
  if (s.VisitorsStore != 1) return 0;
  std::size_t top = static_cast<std::size_t>(std::max(s.VisitorsTop, 0));
  if (n <= top) return n;
  HeapSortPointers(selection.data(), n, CompareVisitorScore, static_cast<void*>(nullptr));
  return top;
}

VisitorDay DayOf(const CSite& site, const CVisitor& v, bool store) {
  VisitorDay day;
  day.address = v.address;
  if (IsStandInAddress(v.address)) day.client_name = v.client_name;
  day.day = site.run.current_day;
  day.hits = v.day_hits;
  day.bytes = v.day_bytes;
  day.sessions = v.day_sessions;
  day.view_time = v.day_view_time;
  day.store = store;
  return day;
}

}  // namespace

void InitVisitorTable(CSite& site) {
  SessionTables& tables = site.run.sessions;
  tables.ReleaseVisitors();
}

CVisitor* FindVisitor(CSite& site, std::uint32_t address, std::string_view client_name) {
  SiteLockGuard lock(site, "FindVisitor");
  SessionTables& tables = site.run.sessions;
  if (tables.last_visitor != nullptr && tables.last_visitor->address == address) {
    return tables.last_visitor;
  }
  CVisitor* visitor = tables.visitor_index.Find(address);
  if (visitor == nullptr) {
    visitor = &tables.visitors.PushFront(std::make_unique<CVisitor>());
    visitor->address = address;
    if (IsStandInAddress(address)) {
      visitor->client_name.assign(CutUtf8(client_name, kClientNameMax));
    }
    ++site.history.stVisitors;
    tables.visitor_index.Insert(visitor);
  }
  tables.last_visitor = visitor;
  return visitor;
}

void AddHourHits(CSite& site, CVisitor& visitor, std::int32_t hits) {
  visitor.hour_hits += hits;
  if (visitor.on_hour_list) return;
  SiteLockGuard lock(site, "FindVisitor");
  visitor.on_hour_list = true;
  site.run.sessions.hour_visitors.push_back(&visitor);
}

void CountVisitsHour(CSite& site) {
  SiteLockGuard lock(site, "CountVisitsHour");
  std::vector<CVisitor*>& hour_visitors = site.run.sessions.hour_visitors;
  for (CVisitor* v : hour_visitors) {
    v->on_hour_list = false;
    if (v->hour_hits <= 0) continue;
    ++site.run.hour.visitors;
    v->hour_hits = 0;
  }
  hour_visitors.clear();
}

void WriteVisitorIP(CSite& site) {
  // Before the day's rows exist: they would make every visitor returning.
  CountReturningVisitors(site);
  const SiteSettings& s = site.settings;
  if (s.VisitorsStore == 0 && !CountsRegions(site)) return;
  std::vector<CVisitor*> selection;
  std::size_t to_write = 0;
  {
    SiteLockGuard lock(site, "WriteVisitorIP");
    selection = SelectDayVisitors(site.run.sessions);
    if (selection.empty()) return;
    TuneDomainCache(site);
    to_write = ChooseVisitorsToWrite(site, selection);
  }
  if (to_write > 0) {
    std::vector<VisitorDayRow> rows;
    {
      SiteLockGuard lock(site, "WriteVisitorIP");
      rows.reserve(to_write);
      for (std::size_t i = 0; i < to_write; ++i) rows.push_back(DayRowOf(*selection[i]));
    }
    Progress progress(site,
                      "Writing daily visitor counts for " + FormatTime("%l", site.run.current_day),
                      static_cast<int>(to_write), "  ");
    PostVisitorDays(site.database(), site.run.current_day, std::move(rows), progress.RowsDone());
  }
  if (s.VisitorsDomains == 0 && !CountsRegions(site)) return;
  // The visitors stay in the table until the purge after this, and only
  // this thread changes it: their values are read without the lock, which
  // the translation threads need while this waits for them.
  std::size_t to_translate = CountsRegions(site) ? selection.size() : to_write;
  std::size_t top = static_cast<std::size_t>(std::max(s.VisitorsTop, 0));
  for (std::size_t i = 0; i < to_translate; ++i) {
    bool store = s.VisitorsDomains != 0 &&
                 (s.VisitorsStore == 2 || (s.VisitorsStore == 1 && i < top));
    RequestTranslation(site, DayOf(site, *selection[i], store));
  }
}

void CountVisitsDay(CSite& site) {
  SiteLockGuard lock(site, "CountVisitsDay");
  for (CVisitor* v = site.run.sessions.visitors.front(); v != nullptr; v = v->next.get()) {
    if (v->day_hits > 0) ++site.run.day.visitors;
  }
}

void PurgeInactiveVisitors(CSite& site) {
  // Before the lock: posting may wait for the writer.
  CountReturningVisitors(site);
  SiteLockGuard lock(site, "PurgeInactiveVisitors");
  SessionTables& tables = site.run.sessions;
  tables.last_visitor = nullptr;
  CVisitor* v = tables.visitors.front();
  while (v != nullptr) {
    CVisitor* next = v->next.get();
    if (v->session == nullptr && v->hour_hits == 0 && v->day_hits == 0) {
      // Its hour hits went with a saved session before the hour was counted.
      if (v->on_hour_list) std::erase(tables.hour_visitors, v);
      tables.visitors.Take(*v);
    } else {
      v->day_hits = 0;
      v->day_bytes = 0;
      v->day_sessions = 0;
      v->day_view_time = 0;
    }
    v = next;
  }
  tables.visitor_index.Rebuild(tables.visitors.front());
}

void ReleaseAll(CSite& site) {
  SiteLockGuard lock(site, "ReleaseAll");
  // A session still open here (its file could not be written and no final
  // flush ran) points at items the run frees next: it goes first.
  site.run.sessions.ReleaseSessions();
  site.run.sessions.ReleaseVisitors();
}

void CheckReturningVisitor(CSite& site, CVisitor& visitor) {
  SiteLockGuard lock(site, "FindVisitor");
  visitor.returning_checked = true;
  site.run.sessions.unchecked_visitors.push_back(&visitor);
}

void CountReturningVisitors(CSite& site) {
  std::vector<std::uint32_t> addresses;
  {
    SiteLockGuard statistics(site, "CountReturningVisitors");
    std::vector<CVisitor*>& unchecked = site.run.sessions.unchecked_visitors;
    if (unchecked.empty()) return;
    addresses.reserve(unchecked.size());
    for (const CVisitor* v : unchecked) addresses.push_back(v->address);
    unchecked.clear();
  }
  SiteDatabase& database = site.database();
  // In turn with the visitor rows: the test sees those of the days before
  // and none of this day's.
  database.RunInTurn([&database, addresses = std::move(addresses),
                      counts = site.run.day_visitors] {
    for (std::size_t begin = 0; begin < addresses.size(); begin += kKnownVisitorsBatch) {
      std::size_t count = std::min(kKnownVisitorsBatch, addresses.size() - begin);
      std::span<const std::uint32_t> batch = std::span(addresses).subspan(begin, count);
      database.GiveWay();
      std::unordered_set<std::string> known;
      bool failed = !FindKnownVisitors(database, batch, known);
      for (std::uint32_t address : batch) {
        if (!failed && known.contains(AddressToText(address))) {
          ++counts->returning_visitors;
        } else {
          ++counts->new_visitors;
        }
      }
    }
  });
}

VisitorDayRow DayRowOf(const CVisitor& visitor) {
  return {visitor.address, visitor.day_hits, visitor.day_bytes, visitor.day_sessions,
          visitor.day_view_time};
}

std::int64_t SessionScore(const CVisitor& visitor) {
  return std::int64_t{visitor.day_hits} + 2 * std::int64_t{visitor.day_sessions} +
         visitor.day_view_time / 60;
}

int CompareVisitorScore(const CVisitor* x, const CVisitor* y, void*) {
  std::int64_t a = SessionScore(*x);
  std::int64_t b = SessionScore(*y);
  return a > b ? -1 : a < b ? 1 : 0;
}

}  // namespace tf
