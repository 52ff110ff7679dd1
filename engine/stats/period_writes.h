// The period rows of a site's statistics: items' hours (tblHour) or days
// (tblDay), the day's target-page statistics (tblTargetHits), click-path
// steps of the day (tblPaths), visitors' days (tblVisitors), status codes
// of the day (tblHitStatus) and items' latest hits (tblData); and the reset
// that empties a site's statistics.
//
// The writers take plain rows of one period and the site's database face,
// nothing else of the site: each runs its rows through one statement
// (prepared once by the connection) under one hold of the database lock,
// named after the operation. A row that exists gets the new amounts added,
// a missing row is inserted, in one statement on the table's unique key.
// A failed row is traced or becomes the site's error text, and the rest
// are still written. The writers test nothing about what they are given:
// the callers pass only rows that are to be written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "engine/common/time_value.h"
#include "engine/site/hit_status_table.h"
#include "engine/site/text_item.h"
#include "engine/store/site_database.h"

namespace tf {

// Called after each row with the number of rows written so far.
using RowsWritten = std::function<void(std::size_t written)>;

enum class ItemPeriod { kHour, kDay };

// One item's counters of one period.
struct ItemPeriodRow {
  std::int32_t category = 0;
  std::int32_t item_id = 0;
  PeriodCounters counters;
};
// Adds each row to its tblHour or tblDay row of the period starting at date.
void WriteItemPeriods(SiteDatabase& database, ItemPeriod period, TimeValue date,
                      std::span<const ItemPeriodRow> rows, const RowsWritten& written = {});

// The same in the site's own time: while the run defers its writes (see
// DeferredWrites), the rows go to its writer and the run counts on;
// otherwise they are written now, joining the run's transaction, with
// `written` told after each row. The rows only add to what is stored, so
// their order against other writes of the tables does not matter.
void PostItemPeriods(SiteDatabase& database, ItemPeriod period, TimeValue date,
                     std::vector<ItemPeriodRow> rows, const RowsWritten& written = {});

// The item's counters of the period as a row, and the item's counters
// zeroed: they are written once, whether or not the write succeeds.
ItemPeriodRow TakeItemPeriodRow(CTextItem& item, ItemPeriod period);


// The sessions of one target-hit group that reached one target page.
struct TargetHitRow {
  std::int32_t phrase = 0;
  std::int32_t referring_item = 0;
  std::int32_t referring_category = 0;
  std::int32_t target_page = 0;
  std::int32_t sessions = 0;
};
void WriteTargetHits(SiteDatabase& database, TimeValue day, std::span<const TargetHitRow> rows);
// A group's sessions, added to TotalSessions of all its rows of the day.
struct TargetSessionsRow {
  std::int32_t phrase = 0;
  std::int32_t referring_item = 0;
  std::int32_t referring_category = 0;
  std::int32_t sessions = 0;
};
void WriteTargetSessions(SiteDatabase& database, TimeValue day,
                         std::span<const TargetSessionsRow> rows, const RowsWritten& written = {});

// One click-path step's counts of a day.
struct PathRow {
  std::int32_t item_id = 0;
  std::int32_t item_id2 = 0;
  std::int32_t hits = 0;
  std::int32_t entry_count = 0;
  std::int32_t exit_count = 0;
};
void WriteDailyPaths(SiteDatabase& database, TimeValue day, std::span<const PathRow> rows,
                     const RowsWritten& written = {});

// Deletes every statistics row of the site (the target page list and the
// settings stay), in one transaction.
void DeleteStatisticsRows(SiteDatabase& database);

// One visitor's day, added to its tblVisitors row, so that a day flushed
// twice (a later run continuing it) adds to the same row.
struct VisitorDayRow {
  std::uint32_t address = 0;
  std::int32_t hits = 0;
  std::int64_t bytes = 0;
  std::int32_t sessions = 0;
  std::int32_t view_time = 0;
};
void WriteVisitorDays(SiteDatabase& database, TimeValue day, std::span<const VisitorDayRow> rows,
                      const RowsWritten& written = {});
// The same in the site's own time: on the run's writer in turn with the
// jobs posted before (a returning test posted earlier does not see them),
// or now; the rows are written in the order of their addresses' texts.
void PostVisitorDays(SiteDatabase& database, TimeValue day, std::vector<VisitorDayRow> rows,
                     const RowsWritten& written = {});

// How many addresses FindKnownVisitors takes at once.
inline constexpr std::size_t kKnownVisitorsBatch = 64;
// Adds to `known` the texts of those of the addresses (at most
// kKnownVisitorsBatch) that have tblVisitors rows. False on a database error,
// which the site's error text then tells.
bool FindKnownVisitors(SiteDatabase& database, std::span<const std::uint32_t> addresses,
                       std::unordered_set<std::string>& known);

// Hits of one (status code, page item) on a day.
struct HitStatusRow {
  HitStatusKey key;
  std::int32_t hits = 0;
};
void WriteHitStatusRows(SiteDatabase& database, TimeValue day, std::span<const HitStatusRow> rows,
                        const RowsWritten& written = {});

// An item's latest hit, for its tblData row.
struct ItemLastHitRow {
  std::int32_t item_id = 0;
  TimeValue last_hit = 0;
};
void WriteItemLastHits(SiteDatabase& database, std::span<const ItemLastHitRow> rows,
                       const RowsWritten& written = {});

}  // namespace tf
