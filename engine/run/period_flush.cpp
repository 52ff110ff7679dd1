#include "engine/run/period_flush.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/common/time_value.h"
#include "engine/recognise/file_kinds.h"
#include "engine/recognise/hit_status.h"
#include "engine/site/item_category.h"
#include "engine/site/site.h"
#include "engine/site/text_item.h"
#include "engine/stats/flush_support.h"
#include "engine/stats/period_writes.h"
#include "engine/store/transaction.h"
#include "engine/visits/click_paths.h"
#include "engine/visits/sessions.h"
#include "engine/visits/visitors.h"

namespace tf {

namespace {


// The order in which the site totals of the kinds are written.
constexpr FileKindIndex kTotalsOrder[] = {kKindWebPage, kKindDocument, kKindImage,
                                          kKindForm,    kKindProgram,  kKindOther};

// Takes every item off one changed list and gives back the rows of those
// with a tblData row; `take` makes an item's row.
template <typename Row, typename Take>
std::vector<Row> DrainList(CTextItem*& head, CTextItem* CTextItem::*link,
                           bool CTextItem::*on_list, Take take) {
  std::vector<Row> rows;
  CTextItem* item = head;
  head = nullptr;
  while (item != nullptr) {
    CTextItem* next = item->*link;
    item->*link = nullptr;
    item->*on_list = false;
    if (item->ItemID != 0) rows.push_back(take(*item));
    item = next;
  }
  return rows;
}

std::vector<ItemPeriodRow> DrainPeriodList(CTextItem*& head, CTextItem* CTextItem::*link,
                                           bool CTextItem::*on_list, ItemPeriod period) {
  return DrainList<ItemPeriodRow>(head, link, on_list, [period](CTextItem& item) {
    return TakeItemPeriodRow(item, period);
  });
}

// The site totals of the hour or the day: rows without an item.
std::vector<ItemPeriodRow> SiteTotalRows(const PeriodTotals& totals,
                                         const NewAndReturning* day_visitors,
                                         std::int32_t mask) {
  std::vector<ItemPeriodRow> rows;
  auto add = [&](std::int32_t category, std::int32_t hits, std::int32_t view_time) {
    ItemPeriodRow& row = rows.emplace_back();
    row.category = category;
    row.counters.Hits = hits;
    row.counters.ViewTime = view_time;
  };
  for (FileKindIndex k : kTotalsOrder) {
    const FileKind& kind = kFileKinds[k];
    if ((mask & kind.total_bit) != 0 && totals.hits[k] >= 1) {
      add(kind.total_category, totals.hits[k], 0);
    }
  }
  if ((mask & kSessionStatsBit) != 0 && totals.sessions >= 1) {
    add(kCategorySessions, totals.sessions, totals.view_time);
  }
  if ((mask & kVisitorStatsBit) != 0 && totals.visitors >= 1) {
    add(kCategoryVisitors, totals.visitors, 0);
    if (day_visitors != nullptr) {
      add(kCategoryNewVisitors, day_visitors->new_visitors, 0);
      add(kCategoryReturningVisitors, day_visitors->returning_visitors, 0);
    }
  }
  return rows;
}

void WriteSiteTotals(CSite& site, bool day) {
  SiteDatabase& database = site.database();
  ItemPeriod period = day ? ItemPeriod::kDay : ItemPeriod::kHour;
  TimeValue date = day ? site.run.current_day : site.run.current_hour;
  std::int32_t mask = day ? site.settings.DayStats : site.settings.HourStats;
  // The day's new and returning visitors when the site stores visitors.
  std::shared_ptr<const NewAndReturning> day_visitors;
  if (day && site.settings.VisitorsStore != 0) day_visitors = site.run.day_visitors;
  // In turn with the day's visitor rows, whose test counts the new and
  // returning visitors.
  database.RunInTurn([&database, totals = day ? site.run.day : site.run.hour, day_visitors,
                      period, date, mask, day] {
    std::vector<ItemPeriodRow> rows = SiteTotalRows(totals, day_visitors.get(), mask);
    if (rows.empty()) return;
    RowBurst burst(database, day ? "WriteDailyItemEntry" : "WriteHourlyItemEntry");
    WriteItemPeriods(database, period, date, rows);
  });
}

}  // namespace

void WriteDailyTargets(CSite& site) {
  SiteLockGuard statistics(site, "WriteDailyTargets");
  DatabaseLockGuard database(site.database(), "WriteDailyTargets");
  TargetHitTable& table = site.target_hits;
  table.index.Clear();
  if (table.groups.empty()) return;
  std::vector<TargetHitRow> hits;
  std::vector<TargetSessionsRow> sessions;
  for (const TargetHitGroup& group : table.groups) {
    for (const TargetCounter& counter : group.targets) {
      hits.push_back({group.keyword_phrase, group.referring_site, group.referring_category,
                      counter.ItemID, counter.sessions});
    }
    sessions.push_back(
        {group.keyword_phrase, group.referring_site, group.referring_category, group.sessions});
  }
  table.groups.clear();
  TimeValue day = site.run.current_day;
  std::string day_text = FormatTime("%l", day);
  std::size_t n = sessions.size();
  // The groups' rows are all in before any group's sessions are added: each
  // update reaches only the rows of its own group, which are in by then.
  Transaction transaction(site.connection());
  WriteTargetHits(site.database(), day, hits);
  WriteTargetSessions(site.database(), day, sessions, [&](std::size_t k) {
    site.SetStatus("Writing daily target page statistics for " + day_text + "  (" +
                   std::to_string(100 * k / n) + ")");
  });
  transaction.Commit();
}

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
  site.run.day_visitors = std::make_shared<NewAndReturning>();
  site.settings_changed = true;
  site.StoreSettings();
  site.database().PostPageWrite();
}

void WriteHourSiteStatistics(CSite& site) { WriteSiteTotals(site, false); }

void WriteDaySiteStatistics(CSite& site) { WriteSiteTotals(site, true); }

void FlushHourTextItems(CSite& site) {
  std::vector<ItemPeriodRow> rows;
  {
    SiteLockGuard statistics(site, "FlushHourTextItems");
    rows = DrainPeriodList(site.run.items.hour_changed, &CTextItem::next_hour_changed,
                           &CTextItem::on_hour_list, ItemPeriod::kHour);
  }
  site.database().PostNewItems();
  PostItemPeriods(site.database(), ItemPeriod::kHour, site.run.current_hour, std::move(rows));
}

void FlushDayTextItems(CSite& site) {
  std::vector<ItemPeriodRow> rows;
  {
    SiteLockGuard statistics(site, "FlushDayTextItems");
    rows = DrainPeriodList(site.run.items.day_changed, &CTextItem::next_day_changed,
                           &CTextItem::on_day_list, ItemPeriod::kDay);
  }
  Progress progress(site,
                    "Writing daily item statistics for " + FormatTime("%l", site.run.current_day),
                    static_cast<int>(rows.size()), "  ");
  PostItemPeriods(site.database(), ItemPeriod::kDay, site.run.current_day, std::move(rows),
                  progress.RowsDone());
}

void FlushRegions(CSite& site) {
  SiteLockGuard statistics(site, "FlushRegions");
  RowBurst burst(site.database(), "FlushRegions");
  // A region's counts belong to the day it was last seen, which may lie
  // before the run's last day: the rows are written a day at a time, in
  // the list's order.
  using DatedRow = std::pair<TimeValue, ItemPeriodRow>;
  std::vector<DatedRow> dated = DrainList<DatedRow>(
      site.run.items.region_changed, &CTextItem::next_region_changed, &CTextItem::on_region_list,
      [&](CTextItem& item) {
        TimeValue day = item.last_hit > 0 ? StartOfDay(item.last_hit) : site.run.current_day;
        return std::pair(day, TakeItemPeriodRow(item, ItemPeriod::kDay));
      });
  std::vector<ItemPeriodRow> rows;
  for (std::size_t i = 0; i < dated.size(); ++i) {
    rows.push_back(dated[i].second);
    if (i + 1 == dated.size() || dated[i + 1].first != dated[i].first) {
      WriteItemPeriods(site.database(), ItemPeriod::kDay, dated[i].first, rows);
      rows.clear();
    }
  }
}

void FlushItemDates(CSite& site) {
  // The rows updated here may be among those the run added.
  site.database().SettleDeferred();
  // The region thread moves last hits under the statistics lock.
  SiteLockGuard statistics(site, "FlushItemDates");
  RowBurst burst(site.database(), "FlushItemDates");
  TextItemTable& items = site.run.items;
  std::vector<ItemLastHitRow> rows = DrainList<ItemLastHitRow>(
      items.last_hit_changed, &CTextItem::next_last_hit_changed, &CTextItem::last_hit_changed,
      [](CTextItem& item) { return ItemLastHitRow{item.ItemID, item.last_hit}; });
  // In the order of the table's key: each update then finds its row beside
  // the last one.
  std::sort(rows.begin(), rows.end(),
            [](const ItemLastHitRow& a, const ItemLastHitRow& b) { return a.item_id < b.item_id; });
  Progress progress(site, "Updating last-activity dates for items", static_cast<int>(rows.size()),
                    " ");
  WriteItemLastHits(site.database(), rows, progress.RowsDone());
}

}  // namespace tf
