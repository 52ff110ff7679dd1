// The period rows of a site's statistics: an item's hour (tblHour) or day
// (tblDay), the day's target-page statistics (tblTargetHits), a click-path
// step of the day (tblPaths); and the reset that empties a site's
// statistics.
//
// A row that exists gets the new amounts added, a missing row is inserted,
// all in one statement on the table's unique key, under the site's database
// lock named after the operation. The writes test nothing about what they
// are given: the callers pass only items that are to be written.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <unordered_set>

#include "engine/site/hit_status_table.h"

#include <cstdint>

#include "engine/common/time_value.h"

namespace tf {

class CSite;
class CTextItem;

// Adds the item's hour counters to its row of the hour being counted, then
// zeroes them, whether or not the write succeeded.
void WriteHourlyItemEntry(CSite& site, CTextItem& item);
// The same for the day counters and the given day (0: the day being
// counted; any other value is written as given).
void WriteDailyItemEntry(CSite& site, CTextItem& item, TimeValue day = 0);

// Writes every target-hit group to the day being counted and empties the
// table.
void WriteDailyTargets(CSite& site);
// One target counter of a group; the caller holds the database lock.
void WriteTargetHitEntry(CSite& site, std::int32_t phrase, std::int32_t referring_item,
                         std::int32_t referring_category, std::int32_t target_page,
                         std::int32_t sessions, TimeValue day);
// Adds the group's sessions to TotalSessions of all its rows of the day;
// the caller holds the database lock.
void WriteTargetSessions(CSite& site, std::int32_t phrase, std::int32_t referring_item,
                         std::int32_t referring_category, std::int32_t sessions, TimeValue day);

// Adds one step's counts of the day being counted to its tblPaths row.
void WriteDailyPathEntry(CSite& site, std::int32_t item_id, std::int32_t item_id2,
                         std::int32_t hits, std::int32_t entry_count, std::int32_t exit_count);

// Deletes every statistics row of the site (the target page list and the
// settings stay), forgets how far its logs were read, deletes its
// saved-sessions file and stores the cleared dates.
void ResetStatistics(CSite& site);

// One visitor's day, added to its tblVisitors row, so that a day flushed
// twice (a later run continuing it) adds to the same row.
struct VisitorDayRow {
  std::uint32_t address = 0;
  std::int32_t hits = 0;
  std::int64_t bytes = 0;
  std::int32_t sessions = 0;
  std::int32_t view_time = 0;
};
void WriteVisitorDay(CSite& site, std::string_view day_text, const VisitorDayRow& row);

// How many addresses FindKnownVisitors takes at once.
inline constexpr std::size_t kKnownVisitorsBatch = 64;
// Adds to `known` the texts of those of the addresses (at most
// kKnownVisitorsBatch) that have tblVisitors rows. False on a database error,
// which the site's error text then tells.
bool FindKnownVisitors(CSite& site, std::span<const std::uint32_t> addresses,
                       std::unordered_set<std::string>& known);

// Adds hits to the day's tblHitStatus row of (status code, page item).
void WriteHitStatusRow(CSite& site, std::string_view date, const HitStatusKey& key,
                       std::int32_t hits);

// The item's latest hit, into its tblData row.
void WriteItemLastHit(CSite& site, std::int32_t item_id, TimeValue last_hit);

}  // namespace tf
