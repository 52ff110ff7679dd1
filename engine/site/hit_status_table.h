// The status-code counters a run keeps for its site: one entry per counted
// (status code, page) key since the last day flush, and their index.
#pragma once

#include <cstdint>
#include <forward_list>

#include "engine/common/avl_tree.h"

namespace tf {

// What a counted status is stored under: the code as counted and the
// ItemID of the requested page, or 0 when the page is not kept.
struct HitStatusKey {
  std::int32_t status_code = 0;
  std::int32_t item_id = 0;
  bool operator==(const HitStatusKey&) const = default;
};

// -1, 0 or 1 by status code, then by ItemID.
inline int CompareHitStatus(const HitStatusKey& a, const HitStatusKey& b) {
  if (a.status_code != b.status_code) return a.status_code < b.status_code ? -1 : 1;
  if (a.item_id != b.item_id) return a.item_id < b.item_id ? -1 : 1;
  return 0;
}

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

}  // namespace tf
