#include "console/site_collect_pages.h"

#include <algorithm>

#include "console/site_page_text.h"
#include "engine/site/site.h"
#include "engine/site/site_name_work.h"

namespace tf::console {

namespace {
void SetBit(std::int32_t& word, std::int32_t bit, bool on) { word = on ? (word | bit) : (word & ~bit); }
bool HasBit(std::int32_t word, std::int32_t bit) { return (word & bit) != 0; }
}  // namespace

const std::array<StatsRow, kStatsRows>& StatsRows() {
  static const std::array<StatsRow, kStatsRows> rows{{
      {"Web page hits (htm, html):", 0x1, true},
      {"Image hits (jpg, gif, png):", 0x2, true},
      {"Document hits (txt, pdf, doc):", 0x4, true},
      {"Form page hits (asp, cfm):", 0x8, true},
      {"Program hits:", 0x10, true},
      {"Other page hits:", 0x20, true},
      {"Total page hits:", 0x100, true},
      {"Total image hits:", 0x200, true},
      {"Total document hits:", 0x400, true},
      {"Total form hits:", 0x800, true},
      {"Total program hits:", 0x1000, true},
      {"Total other page hits:", 0x2000, true},
      {"Session statistics:", kSessionStatsBit, true},
      {"Visitor count:", kVisitorStatsBit, true},
      {"Referring pages:", 0x80000, false},
      {"Referring sites:", 0x100000, false},
      {"Search engines:", 0x200000, false},
      {"Search phrases:", 0x400000, false},
      {"Search keywords:", 0x800000, false},
      {"Visitor regions:", 0x4000000, false},
      {"Browser, Platform, Language:", 0x1000000, false},
  }};
  return rows;
}

bool DailyBoxLocked(const StatsRow& row) {
  return row.bit == kSessionStatsBit || row.bit == kVisitorStatsBit;
}

ProcessingBoxes FillProcessing(const CSite& site) {
  ProcessingBoxes boxes;
  for (std::size_t i = 0; i < kStatsRows; ++i) {
    boxes.daily[i] = HasBit(site.settings.DayStats, StatsRows()[i].bit);
    boxes.hourly[i] = HasBit(site.settings.HourStats, StatsRows()[i].bit);
  }
  return boxes;
}

void StoreProcessing(const ProcessingBoxes& boxes, CSite& site) {
  for (std::size_t i = 0; i < kStatsRows; ++i) {
    const StatsRow& row = StatsRows()[i];
    SetBit(site.settings.DayStats, row.bit, boxes.daily[i]);
    if (row.hourly) SetBit(site.settings.HourStats, row.bit, boxes.hourly[i]);
  }
}

const std::array<StatusRow, kStatusRows>& StatusRows() {
  static const std::array<StatusRow, kStatusRows> rows{{
      {"Cached pages", 0x1},
      {"Redirected pages", 0x2},
      {"(404) Page not found", 0x4},
      {"(4xx) Request errors", 0x8},
      {"(5xx) Server errors", 0x10},
      {"(206) Partial content", 0x20},
  }};
  return rows;
}

StatusBoxes FillStatus(const CSite& site) {
  StatusBoxes boxes;
  for (std::size_t i = 0; i < kStatusRows; ++i) {
    boxes.count[i] = HasBit(site.settings.StatusStoreCount, StatusRows()[i].bit);
    boxes.record_page[i] = HasBit(site.settings.StatusStorePage, StatusRows()[i].bit);
  }
  return boxes;
}

void StoreStatus(const StatusBoxes& boxes, CSite& site) {
  for (std::size_t i = 0; i < kStatusRows; ++i) {
    SetBit(site.settings.StatusStoreCount, StatusRows()[i].bit, boxes.count[i]);
    SetBit(site.settings.StatusStorePage, StatusRows()[i].bit, boxes.record_page[i]);
  }
}

VisitorsFields FillVisitors(const CSite& site) {
  const SiteSettings& s = site.settings;
  VisitorsFields f;
  f.visitors_store = s.VisitorsStore;
  f.visitors_top = std::to_string(s.VisitorsTop);
  f.visitors_domains = s.VisitorsDomains != 0;
  f.automatic_cache = HasBit(s.DomainCacheOptions, 0x1);
  f.cache_size = std::to_string(s.DomainCacheSize);
  f.paths_store = s.PathsStore;
  f.paths_top = std::to_string(s.PathsTop);
  return f;
}

VisitorsEnabling EnablingOf(const VisitorsFields& f) {
  return {f.visitors_store == 1, f.visitors_store != 0, f.paths_store == 1, !f.automatic_cache};
}

void StoreVisitors(const VisitorsFields& f, CSite& site) {
  SiteSettings& s = site.settings;
  if (f.visitors_store >= 0 && f.visitors_store <= 2) s.VisitorsStore = f.visitors_store;
  if (f.paths_store >= 0 && f.paths_store <= 2) s.PathsStore = f.paths_store;
  s.VisitorsTop = ReadDecimal(f.visitors_top);
  s.PathsTop = ReadDecimal(f.paths_top);
  s.VisitorsDomains = f.visitors_domains ? 1 : 0;
  SetBit(s.DomainCacheOptions, 0x1, f.automatic_cache);
  std::int32_t size = ReadDecimal(f.cache_size);
  if (size == s.DomainCacheSize || f.automatic_cache) return;
  s.DomainCacheSize = std::clamp(size, kMinCacheSize, kMaxCacheSize);
  if (SiteNameWork* work = site.MadeNameWork()) work->SetCacheLimit(s.DomainCacheSize);
  site.history.stDomainCacheTries = 0;
  site.history.stDomainCacheHits = 0;
}

}  // namespace tf::console
