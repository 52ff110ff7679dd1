#include "engine/visits/click_paths.h"

#include <algorithm>
#include <vector>

#include "engine/common/heap_sort.h"
#include "engine/site/session_tables.h"
#include "engine/site/site.h"
#include "engine/site/text_item.h"
#include "engine/stats/flush_support.h"
#include "engine/stats/period_writes.h"

namespace tf {

namespace {

// How many of the day's n steps are written; with a top, the steps are
// sorted so that those come first.
std::size_t ChoosePathsToWrite(const CSite& site, std::vector<CPathNode*>& nodes) {
  const SiteSettings& s = site.settings;
  std::size_t n = nodes.size();
  if (s.PathsStore != 1) return n;
  std::size_t top = static_cast<std::size_t>(std::max(s.PathsTop, 0));
  if (n <= top) return n;
  HeapSortPointers(nodes.data(), n, ComparePathHits, static_cast<void*>(nullptr));
  return top;
}

}  // namespace

void InitPathTable(CSite& site) {
  SessionTables& tables = site.run.sessions;
  tables.ReleasePaths();
}

CPathNode* FindPath(CSite& site, CTextItem* from, CTextItem* to, const SiteLockGuard&) {
  SessionTables& tables = site.run.sessions;
  CPathNode* node = tables.path_index.Find(from, to);
  if (node != nullptr) return node;
  node = &tables.paths.PushFront(std::make_unique<CPathNode>());
  node->from = from;
  node->to = to;
  tables.path_index.Insert(node);
  return node;
}

void CountPath(CSite& site, const CSession& session, const SiteLockGuard& held) {
  const std::vector<SessionPageHit>& pages = session.pages;
  if (pages.size() < 2) return;
  SessionTables& tables = site.run.sessions;
  bool first = true;
  for (std::size_t i = 0; i + 1 < pages.size(); ++i) {
    if (pages[i].page == pages[i + 1].page) continue;
    CPathNode* node = FindPath(site, pages[i].page, pages[i + 1].page, held);
    ++node->day_hits;
    if (first) ++node->day_entries;
    first = false;
    if (i + 2 == pages.size()) ++node->day_exits;
    if (!node->on_day_list) {
      node->on_day_list = true;
      node->next_day = tables.day_paths;
      tables.day_paths = node;
    }
  }
}

void PathFlushDay(CSite& site) {
  if (site.settings.PathsStore == 0) return;
  SiteLockGuard lock(site, "PathFlushDay");
  SessionTables& tables = site.run.sessions;
  std::vector<CPathNode*> nodes;
  for (CPathNode* node = tables.day_paths; node != nullptr; node = node->next_day) {
    nodes.push_back(node);
  }
  if (nodes.empty()) return;
  std::size_t to_write = ChoosePathsToWrite(site, nodes);
  {
    std::vector<PathRow> rows;
    rows.reserve(to_write);
    for (std::size_t i = 0; i < to_write; ++i) {
      const CPathNode& node = *nodes[i];
      rows.push_back({node.from->ItemID, node.to->ItemID, node.day_hits, node.day_entries,
                      node.day_exits});
    }
    RowBurst burst(site.database(), "PathFlushDay");
    Progress progress(site,
                      "Writing daily path statistics for " + FormatTime("%l", site.run.current_day),
                      static_cast<int>(to_write), "  ");
    WriteDailyPaths(site.database(), site.run.current_day, rows, progress.RowsDone());
  }
  // The steps that did not make the top are dropped for the day.
  for (CPathNode* node : nodes) {
    node->day_hits = node->day_entries = node->day_exits = 0;
    node->on_day_list = false;
    node->next_day = nullptr;
  }
  tables.day_paths = nullptr;
}

void ReleasePaths(CSite& site) {
  SiteLockGuard lock(site, "ReleasePaths");
  site.run.sessions.ReleasePaths();
}

int ComparePathHits(const CPathNode* x, const CPathNode* y, void*) {
  return x->day_hits > y->day_hits ? -1 : x->day_hits < y->day_hits ? 1 : 0;
}

}  // namespace tf
