// CTextItem: one tblData row (a category and a name) while a run counts it:
// the counters of the current hour and day, the time of its latest hit, and
// its links into the site's lists of changed items, so that the hourly and
// daily flushes write only the items that changed.
//
// The site's TextItemTable owns every item of a run (the all-items pool)
// and indexes them by category and name (text_item_index.h).
// The four changed lists only point into it; each item is on each list at
// most once, which its flag guarantees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/text.h"
#include "engine/common/time_value.h"
#include "engine/site/text_item_index.h"

namespace tf {

class CSite;
class SiteLockGuard;

// One period's counters, in the column order of tblHour and tblDay.
struct PeriodCounters {
  std::int32_t Hits = 0;
  std::int64_t Bytes = 0;  // a busy item's bytes outgrow 32 bits in a day
  std::int32_t EntryCount = 0;
  std::int32_t ExitCount = 0;
  std::int32_t SessionCount = 0;
  std::int32_t ViewTime = 0;
};

class CTextItem {
 public:
  static constexpr std::size_t kMaxName = 254;

  CTextItem() = default;
  CTextItem(const CTextItem&) = delete;
  CTextItem& operator=(const CTextItem&) = delete;

  // Everything back to zero and empty, except the region link (the region
  // list may still hold the item).
  void Reset();
  void SetCategory(std::int32_t value) { category = value; }
  // Keeps at most kMaxName bytes, never splitting a character.
  void SetName(std::string_view text);

  // Adds to the counter of each period whose statistics the site keeps for
  // this category, and marks the item changed in that period; held is the
  // caller's hold of the statistics lock.
  void AddHits(CSite& site, TimeValue time, std::int32_t amount, const SiteLockGuard& held);
  void AddSessions(CSite& site, TimeValue time, std::int32_t amount, const SiteLockGuard& held);
  void AddViewTime(CSite& site, TimeValue time, std::int32_t amount, const SiteLockGuard& held);

  // Keeps the latest hit time and puts the item on the last-hit-changed
  // list. Takes the statistics lock: the region thread calls it while the
  // analysis thread changes the same list.
  void UpdateLastHit(CSite& site, TimeValue time);

  bool IsHourStatEnabled(const CSite& site) const;
  bool IsDayStatEnabled(const CSite& site) const;

  CTextItem* next_hour_changed = nullptr;
  CTextItem* next_day_changed = nullptr;
  CTextItem* next_region_changed = nullptr;
  CTextItem* next_last_hit_changed = nullptr;
  std::int32_t category = 0;
  std::int32_t ItemID = 0;  // 0: no tblData row; such an item is never written
  std::string name;
  PeriodCounters hour;
  PeriodCounters day;
  bool on_hour_list = false;
  bool on_day_list = false;
  bool on_region_list = false;
  bool last_hit_changed = false;
  TimeValue last_hit = 0;

 private:
  void Add(CSite& site, TimeValue time, std::int32_t amount, const SiteLockGuard& held,
           std::int32_t PeriodCounters::*counter);
};

// The HourStats/DayStats bit that enables a category; 0 for categories that
// are always enabled (the site totals, target pages and the rest).
std::int32_t CategoryStatBit(std::int32_t category);

// Mark the item changed in the current hour or day (and its last hit),
// under the caller's hold of the statistics lock.
void SetHourChange(CTextItem& item, CSite& site, TimeValue time, const SiteLockGuard& held);
void SetDayChange(CTextItem& item, CSite& site, TimeValue time, const SiteLockGuard& held);

// Counts into each period whose statistics the site keeps for the item's
// category (count gets that period's counters) and marks the item changed
// in it, under the caller's hold of the statistics lock.
template <typename Count>
void CountInPeriods(CTextItem& item, CSite& site, TimeValue time, const SiteLockGuard& held,
                    Count count) {
  if (item.IsHourStatEnabled(site)) {
    count(item.hour);
    SetHourChange(item, site, time, held);
  }
  if (item.IsDayStatEnabled(site)) {
    count(item.day);
    SetDayChange(item, site, time, held);
  }
}
// Puts a region item on the region-changed list, under the statistics lock.
void SetRegionChange(CTextItem& item, CSite& site);

// The text items of a site's run: their owner, the index and the heads of
// the changed lists.
struct TextItemTable {
  TextItemTable() = default;
  ~TextItemTable() { Release(); }
  TextItemTable(const TextItemTable&) = delete;
  TextItemTable& operator=(const TextItemTable&) = delete;

  // A new empty item, owned by the table; the caller puts it in the index.
  CTextItem& Add();
  // The run's item of (category, name), the name cut to kMaxName bytes. One
  // the table has not got yet is made, put in the index and handed to
  // `identify` (which gives it its stored identity) before anyone sees it;
  // so each (category, name) is identified once per run.
  template <typename Identify>
  CTextItem& FindOrAdd(std::int32_t category, std::string_view name, Identify&& identify) {
    name = CutUtf8(name, CTextItem::kMaxName);
    if (CTextItem* item = index.Find(TextItemKey{category, name})) return *item;
    CTextItem& item = AddIndexed(category, name);
    identify(item);
    return item;
  }
  // A new item of (category, name), in the index.
  CTextItem& AddIndexed(std::int32_t category, std::string_view name);
  // Frees every item, empties the lists and clears the index.
  void Release();

  TextItemIndex index;
  std::vector<std::unique_ptr<CTextItem>> all;  // in the order they were made
  CTextItem* hour_changed = nullptr;
  CTextItem* day_changed = nullptr;
  CTextItem* last_hit_changed = nullptr;
  CTextItem* region_changed = nullptr;
  // How often the items were freed, so that whoever keeps item pointers
  // across calls knows when they are gone.
  std::uint64_t releases = 0;
};

// Frees all text items of the site's run, under the statistics lock.
void ReleaseTextItems(CSite& site);

}  // namespace tf
