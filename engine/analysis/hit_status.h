// Status-code statistics: the requests of each day by the server's status
// code (or class), with or without the requested page, written to
// tblHitStatus at each day change.
#pragma once

#include <cstdint>
#include <forward_list>

#include "engine/analysis/status_rules.h"
#include "engine/common/avl_tree.h"

namespace tf {

class CSite;
class CTextItem;
struct CLogRecord;

// One counter: the hits of one (status code, page) since the last flush.
struct CHitStatusEntry {
  HitStatusKey key;
  std::int32_t count = 0;
};

struct HitStatusOrder {
  int operator()(const HitStatusKey& a, const CHitStatusEntry& b) const {
    return CompareHitStatus(a, b.key);
  }
  int operator()(const CHitStatusEntry& a, const CHitStatusEntry& b) const {
    return CompareHitStatus(a.key, b.key);
  }
};

// The entries of a run, newest first, and their index. The list owns the
// entries; the index only finds them.
struct HitStatusTable {
  std::forward_list<CHitStatusEntry> entries;
  CAvlTree<CHitStatusEntry, HitStatusOrder> index;
};

// The empty status-entry index of a run.
void InitHitStatusIndex(CSite& site);
// Counts the record's status code; page is the record's requested-file item.
void ClassifyHitStatus(CSite& site, const CLogRecord& record, CTextItem* page);
// Writes the day's counts and zeroes them; the entries stay for the next day.
void HitStatusFlush(CSite& site);
// Forgets every entry (end of a run).
void FreeHitStatusIndex(CSite& site);

}  // namespace tf
