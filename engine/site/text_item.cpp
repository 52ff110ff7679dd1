#include "engine/site/text_item.h"

#include "engine/common/text.h"
#include "engine/site/item_category.h"
#include "engine/site/site.h"
#include "engine/site/stat_bits.h"

namespace tf {

namespace {

// Keeps a later hit time and puts the item on the last-hit-changed list.
void NoteLastHit(CTextItem& item, TextItemTable& items, TimeValue time) {
  if (time <= item.last_hit) return;
  item.last_hit = time;
  if (item.last_hit_changed) return;
  item.last_hit_changed = true;
  item.next_last_hit_changed = items.last_hit_changed;
  items.last_hit_changed = &item;
}

// Marks the item changed in one period: its last hit, then the period's list.
void MarkChanged(CTextItem& item, CSite& site, TimeValue time, bool CTextItem::*on_list,
                 CTextItem* CTextItem::*link, CTextItem* TextItemTable::*head) {
  TextItemTable& items = site.run.items;
  NoteLastHit(item, items, time);
  if (!(item.*on_list)) {
    item.*on_list = true;
    item.*link = items.*head;
    items.*head = &item;
  }
}

}  // namespace

void CTextItem::Reset() {
  next_hour_changed = nullptr;
  next_day_changed = nullptr;
  next_last_hit_changed = nullptr;
  category = 0;
  ItemID = 0;
  name.clear();
  hour = PeriodCounters{};
  day = PeriodCounters{};
  on_hour_list = false;
  on_day_list = false;
  on_region_list = false;
  last_hit_changed = false;
  last_hit = 0;
}

void CTextItem::SetName(std::string_view text) { name.assign(CutUtf8(text, kMaxName)); }

std::int32_t CategoryStatBit(std::int32_t category) {
  switch (category) {
    case kCategoryWebPage: return 0x1;
    case kCategoryImage: return 0x2;
    case kCategoryDocument: return 0x4;
    case kCategoryForm: return 0x8;
    case kCategoryProgram: return 0x10;
    case kCategoryOtherFile: return 0x20;
    case kCategoryReferringPage: return kReferringPageStats;
    case kCategoryReferringSite:
    case kCategorySpider: return kReferringSiteStats;  // spiders go with the referring sites
    case kCategorySearchEngine: return kSearchEngineStats;
    case kCategorySearchPhrase: return kSearchPhraseStats;
    case kCategoryKeyword: return kKeywordStats;
    case kCategoryRegion: return kRegionStats;
    case kCategoryBrowser:
    case kCategoryBrowserVersion:
    case kCategoryPlatform:
    case kCategoryPlatformVersion:
    case kCategoryLanguage:
    case kCategoryBrowserAddon: return kAgentStats;
    default: return 0;
  }
}

bool CTextItem::IsHourStatEnabled(const CSite& site) const {
  std::int32_t bit = CategoryStatBit(category);
  return bit == 0 || (site.settings.HourStats & bit) != 0;
}

bool CTextItem::IsDayStatEnabled(const CSite& site) const {
  std::int32_t bit = CategoryStatBit(category);
  return bit == 0 || (site.settings.DayStats & bit) != 0;
}

void CTextItem::Add(CSite& site, TimeValue time, std::int32_t amount, const SiteLockGuard& held,
                    std::int32_t PeriodCounters::*counter) {
  CountInPeriods(*this, site, time, held,
                 [&](PeriodCounters& counters) { counters.*counter += amount; });
}

void CTextItem::AddHits(CSite& site, TimeValue time, std::int32_t amount,
                        const SiteLockGuard& held) {
  Add(site, time, amount, held, &PeriodCounters::Hits);
}

void CTextItem::AddSessions(CSite& site, TimeValue time, std::int32_t amount,
                            const SiteLockGuard& held) {
  Add(site, time, amount, held, &PeriodCounters::SessionCount);
}

void CTextItem::AddViewTime(CSite& site, TimeValue time, std::int32_t amount,
                            const SiteLockGuard& held) {
  Add(site, time, amount, held, &PeriodCounters::ViewTime);
}

void CTextItem::UpdateLastHit(CSite& site, TimeValue time) {
  SiteLockGuard guard(site, "UpdateLastHit");
  NoteLastHit(*this, site.run.items, time);
}

void SetHourChange(CTextItem& item, CSite& site, TimeValue time, const SiteLockGuard&) {
  MarkChanged(item, site, time, &CTextItem::on_hour_list,
              &CTextItem::next_hour_changed, &TextItemTable::hour_changed);
}

void SetDayChange(CTextItem& item, CSite& site, TimeValue time, const SiteLockGuard&) {
  MarkChanged(item, site, time, &CTextItem::on_day_list,
              &CTextItem::next_day_changed, &TextItemTable::day_changed);
}

void SetRegionChange(CTextItem& item, CSite& site) {
  SiteLockGuard guard(site, "SetRegionChange");
  if (item.on_region_list) return;
  item.on_region_list = true;
  item.next_region_changed = site.run.items.region_changed;
  site.run.items.region_changed = &item;
}

CTextItem& TextItemTable::Add() { return *all.emplace_back(std::make_unique<CTextItem>()); }

CTextItem& TextItemTable::AddIndexed(std::int32_t category, std::string_view name) {
  CTextItem& item = Add();
  item.SetCategory(category);
  item.SetName(name);
  index.Insert(&item);
  return item;
}

void TextItemTable::Release() {
  index.Clear();
  all.clear();
  hour_changed = nullptr;
  day_changed = nullptr;
  last_hit_changed = nullptr;
  region_changed = nullptr;
  ++releases;
}

void ReleaseTextItems(CSite& site) {
  SiteLockGuard guard(site, "ReleaseTextItems");
  site.run.items.Release();
}

}  // namespace tf
