#include "engine/run/period_flush.h"

#include <string>

#include "engine/common/time_value.h"
#include "engine/recognise/file_kinds.h"
#include "engine/recognise/hit_status.h"
#include "engine/site/item_category.h"
#include "engine/site/site.h"
#include "engine/site/text_item.h"
#include "engine/stats/flush_support.h"
#include "engine/stats/period_writes.h"
#include "engine/visits/click_paths.h"
#include "engine/visits/sessions.h"
#include "engine/visits/visitors.h"

namespace tf {

namespace {


// The order in which the site totals of the kinds are written.
constexpr FileKindIndex kTotalsOrder[] = {kKindWebPage, kKindDocument, kKindImage,
                                          kKindForm,    kKindProgram,  kKindOther};

int CountList(CTextItem* head, CTextItem* CTextItem::*link) {
  int n = 0;
  for (CTextItem* item = head; item != nullptr; item = item->*link) ++n;
  return n;
}

// Takes every item off one changed list; those with a tblData row are
// written. k counts the items taken off.
template <typename Write, typename After>
void DrainList(CTextItem*& head, CTextItem* CTextItem::*link, bool CTextItem::*on_list,
               Write write, After after) {
  CTextItem* item = head;
  head = nullptr;
  for (int k = 1; item != nullptr; ++k) {
    CTextItem* next = item->*link;
    item->*link = nullptr;
    item->*on_list = false;
    if (item->ItemID != 0) write(*item);
    after(k);
    item = next;
  }
}

void NoProgress(int) {}

// The site totals of the hour or the day, one scratch item per row.
void WriteSiteTotals(CSite& site, bool day) {
  const PeriodTotals& totals = day ? site.run.day : site.run.hour;
  std::int32_t mask = day ? site.settings.DayStats : site.settings.HourStats;
  RowBurst burst(site, day ? "WriteDaySiteStatistics" : "WriteHourSiteStatistics");
  CTextItem scratch;
  auto write = [&](std::int32_t category, std::int32_t hits, std::int32_t view_time) {
    scratch.Reset();
    scratch.SetCategory(category);
    PeriodCounters& counters = day ? scratch.day : scratch.hour;
    counters.Hits = hits;
    counters.ViewTime = view_time;
    if (day) {
      WriteDailyItemEntry(site, scratch);
    } else {
      WriteHourlyItemEntry(site, scratch);
    }
  };
  for (FileKindIndex k : kTotalsOrder) {
    const FileKind& kind = kFileKinds[k];
    if ((mask & kind.total_bit) != 0 && totals.hits[k] >= 1) {
      write(kind.total_category, totals.hits[k], 0);
    }
  }
  if ((mask & kSessionStatsBit) != 0 && totals.sessions >= 1) {
    write(kCategorySessions, totals.sessions, totals.view_time);
  }
  if ((mask & kVisitorStatsBit) != 0 && totals.visitors >= 1) {
    write(kCategoryVisitors, totals.visitors, 0);
    if (day && site.settings.VisitorsStore != 0) {
      write(kCategoryNewVisitors, totals.new_visitors, 0);
      write(kCategoryReturningVisitors, totals.returning_visitors, 0);
    }
  }
}

}  // namespace

void FlushHourStatistics(CSite& site, TimeValue session_time, bool force) {
  site.SetStatus("Writing hourly session statistics");
  SessionFlush(site, session_time, force);
  site.SetStatus("Writing hourly visitor statistics");
  CountVisitsHour(site);
  site.SetStatus("Writing hourly item statistics");
  FlushHourTextItems(site);
  site.SetStatus("Writing hourly site statistics");
  WriteHourSiteStatistics(site);
  site.run.hour = PeriodTotals{};
}

void FlushDayStatistics(CSite& site, TimeValue flush_time, bool force) {
  if (site.run.current_day == 0) return;
  std::string day = FormatTime("%l", site.run.current_day);
  site.SetStatus("Writing daily session statistics for " + day);
  SessionFlush(site, flush_time, force);
  site.SetStatus("Writing visitor IP addresses for " + day);
  WriteVisitorIP(site);
  site.SetStatus("Writing daily visitor counts for " + day);
  CountVisitsDay(site);
  PurgeInactiveVisitors(site);
  site.SetStatus("Writing daily target page statistics for " + day);
  WriteDailyTargets(site);
  site.SetStatus("Writing daily path statistics for " + day);
  PathFlushDay(site);
  site.SetStatus("Writing server error statistics for " + day);
  HitStatusFlush(site);
  site.SetStatus("Writing daily item statistics for " + day);
  FlushDayTextItems(site);
  site.SetStatus("Writing daily site statistics for " + day);
  WriteDaySiteStatistics(site);
  site.run.day = PeriodTotals{};
  site.settings_changed = true;
  site.StoreSettings();
}

void WriteHourSiteStatistics(CSite& site) { WriteSiteTotals(site, false); }

void WriteDaySiteStatistics(CSite& site) { WriteSiteTotals(site, true); }

void FlushHourTextItems(CSite& site) {
  SiteLockGuard statistics(site, "FlushHourTextItems");
  RowBurst burst(site, "FlushHourTextItems");
  DrainList(site.run.items.hour_changed, &CTextItem::next_hour_changed, &CTextItem::on_hour_list,
            [&](CTextItem& item) { WriteHourlyItemEntry(site, item); }, NoProgress);
}

void FlushDayTextItems(CSite& site) {
  SiteLockGuard statistics(site, "FlushDayTextItems");
  RowBurst burst(site, "FlushDayTextItems");
  TextItemTable& items = site.run.items;
  int n = CountList(items.day_changed, &CTextItem::next_day_changed);
  Progress progress(site, "Writing daily item statistics for " + FormatTime("%l", site.run.current_day),
                    n, "  ");
  DrainList(items.day_changed, &CTextItem::next_day_changed, &CTextItem::on_day_list,
            [&](CTextItem& item) { WriteDailyItemEntry(site, item); },
            [&](int k) { progress.Done(k); });
}

void FlushRegions(CSite& site) {
  SiteLockGuard statistics(site, "FlushRegions");
  RowBurst burst(site, "FlushRegions");
  DrainList(site.run.items.region_changed, &CTextItem::next_region_changed,
            &CTextItem::on_region_list,
            [&](CTextItem& item) {
              // A region's counts belong to the day it was last seen, which
              // may lie before the run's last day.
              WriteDailyItemEntry(site, item, item.last_hit > 0 ? StartOfDay(item.last_hit) : 0);
            },
            NoProgress);
}

void FlushItemDates(CSite& site) {
  // The region thread moves last hits under the statistics lock.
  SiteLockGuard statistics(site, "FlushItemDates");
  RowBurst burst(site, "FlushItemDates");
  TextItemTable& items = site.run.items;
  int n = CountList(items.last_hit_changed, &CTextItem::next_last_hit_changed);
  Progress progress(site, "Updating last-activity dates for items", n, " ");
  DrainList(items.last_hit_changed, &CTextItem::next_last_hit_changed, &CTextItem::last_hit_changed,
            [&](CTextItem& item) { WriteItemLastHit(site, item.ItemID, item.last_hit); },
            [&](int k) { progress.Done(k); });
}

}  // namespace tf
