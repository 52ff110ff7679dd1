#include "engine/stats/period_writes.h"

#include <cstdio>
#include <iterator>
#include <string>

#include "engine/common/address.h"
#include "engine/logs/log_stream.h"
#include "engine/site/site.h"
#include "engine/site/text_item.h"
#include "engine/store/field_values.h"
#include "engine/store/stored_date.h"
#include "engine/store/transaction.h"
#include "platform/db/recordset.h"

namespace tf {

namespace {

constexpr std::size_t kTraceErrorSize = 500;
constexpr std::size_t kTargetErrorSize = 200;
constexpr std::size_t kResetErrorSize = 1000;

// The flushes write many rows of one period in a row; its date text is
// made once.
const std::string& PeriodDate(TimeValue t) {
  thread_local TimeValue last = -1;
  thread_local std::string text;
  if (t != last) {
    text = StoredDateText(t);
    last = t;
  }
  return text;
}

// tblHour and tblDay have the same columns and the same key: a row that
// exists gets the amounts added.
std::string ItemPeriodSql(std::string_view table) {
  return "INSERT INTO " + std::string(table) +
         " (EntryDate, Category, ItemID, Hits, Bytes, EntryCount, ExitCount, SessionCount, "
         "ViewTime) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) "
         "ON CONFLICT (EntryDate, Category, ItemID) DO UPDATE SET Hits = Hits + excluded.Hits, "
         "Bytes = Bytes + excluded.Bytes, EntryCount = EntryCount + excluded.EntryCount, "
         "ExitCount = ExitCount + excluded.ExitCount, "
         "SessionCount = SessionCount + excluded.SessionCount, "
         "ViewTime = ViewTime + excluded.ViewTime";
}

void WriteItemPeriod(CSite& site, CTextItem& item, PeriodCounters& counters, TimeValue date,
                     std::string_view operation, std::string_view sql,
                     std::string_view trace_text) {
  DatabaseLockGuard lock(site, operation);
  std::string error;
  if (!ExecuteSql(site.connection(), sql,
                  {com::Variant(PeriodDate(date)), com::Variant(item.category),
                   com::Variant(item.ItemID), com::Variant(counters.Hits),
                   com::Variant(static_cast<double>(counters.Bytes)),
                   com::Variant(counters.EntryCount), com::Variant(counters.ExitCount),
                   com::Variant(counters.SessionCount), com::Variant(counters.ViewTime)},
                  &error, kTraceErrorSize)) {
    site.Trace(std::string(trace_text) + error);
  }
  counters = PeriodCounters{};
}

}  // namespace

void WriteHourlyItemEntry(CSite& site, CTextItem& item) {
  static const std::string kSql = ItemPeriodSql("tblHour");
  WriteItemPeriod(site, item, item.hour, site.run.current_hour, "WriteHourlyItemEntry", kSql,
                  "Error adding hourly item: ");
}

void WriteDailyItemEntry(CSite& site, CTextItem& item, TimeValue day) {
  static const std::string kSql = ItemPeriodSql("tblDay");
  WriteItemPeriod(site, item, item.day, day == 0 ? site.run.current_day : day,
                  "WriteDailyItemEntry", kSql, "Error adding daily item: ");
}

// --- Target pages -----------------------------------------------------------

void WriteTargetHitEntry(CSite& site, std::int32_t phrase, std::int32_t referring_item,
                         std::int32_t referring_category, std::int32_t target_page,
                         std::int32_t sessions, TimeValue day) {
  std::string error;
  if (!ExecuteSql(site.connection(),
                  "INSERT INTO tblTargetHits (EntryDate, ReferringSite, ReferringCategory, "
                  "KeywordPhrase, TargetPage, TargetHits, TotalSessions) "
                  "VALUES (?, ?, ?, ?, ?, ?, 0) "
                  "ON CONFLICT (EntryDate, KeywordPhrase, ReferringSite, ReferringCategory, "
                  "TargetPage) DO UPDATE SET TargetHits = TargetHits + excluded.TargetHits",
                  {com::Variant(PeriodDate(day)), com::Variant(referring_item),
                   com::Variant(referring_category), com::Variant(phrase),
                   com::Variant(target_page), com::Variant(sessions)},
                  &error, kTargetErrorSize)) {
    site.SetError("Error adding target page entry: " + error);
  }
}

void WriteTargetSessions(CSite& site, std::int32_t phrase, std::int32_t referring_item,
                         std::int32_t referring_category, std::int32_t sessions, TimeValue day) {
  std::string error;
  if (!ExecuteSql(site.connection(),
                  "UPDATE tblTargetHits SET TotalSessions = TotalSessions + ? "
                  "WHERE ReferringSite=? AND ReferringCategory=? AND KeywordPhrase=? "
                  "AND EntryDate=?",
                  {com::Variant(sessions), com::Variant(referring_item),
                   com::Variant(referring_category), com::Variant(phrase),
                   com::Variant(PeriodDate(day))},
                  &error, kTargetErrorSize)) {
    site.SetError(error);
  }
}

void WriteDailyTargets(CSite& site) {
  SiteLockGuard statistics(site, "WriteDailyTargets");
  DatabaseLockGuard database(site, "WriteDailyTargets");
  TargetHitTable& table = site.target_hits;
  table.index.Clear();
  if (table.groups.empty()) return;
  int n = static_cast<int>(std::distance(table.groups.begin(), table.groups.end()));
  TimeValue day = site.run.current_day;
  std::string day_text = FormatTime("%l", day);
  Transaction transaction(site.connection());
  int k = 0;
  while (!table.groups.empty()) {
    TargetHitGroup& group = table.groups.front();
    for (const TargetCounter& counter : group.targets) {
      WriteTargetHitEntry(site, group.keyword_phrase, group.referring_site,
                          group.referring_category, counter.ItemID, counter.sessions, day);
    }
    WriteTargetSessions(site, group.keyword_phrase, group.referring_site, group.referring_category,
                        group.sessions, day);
    table.groups.pop_front();
    ++k;
    site.SetStatus("Writing daily target page statistics for " + day_text + "  (" +
                   std::to_string(100 * k / n) + ")");
  }
  transaction.Commit();
}

// --- Click paths ----------------------------------------------------------------

void WriteDailyPathEntry(CSite& site, std::int32_t item_id, std::int32_t item_id2,
                         std::int32_t hits, std::int32_t entry_count, std::int32_t exit_count) {
  DatabaseLockGuard lock(site, "WriteDailyPathEntry");
  std::string error;
  if (!ExecuteSql(site.connection(),
                  "INSERT INTO tblPaths (EntryDate, ItemID, ItemID2, Hits, EntryCount, ExitCount) "
                  "VALUES (?, ?, ?, ?, ?, ?) "
                  "ON CONFLICT (EntryDate, ItemID, ItemID2) DO UPDATE SET "
                  "Hits = Hits + excluded.Hits, EntryCount = EntryCount + excluded.EntryCount, "
                  "ExitCount = ExitCount + excluded.ExitCount",
                  {com::Variant(PeriodDate(site.run.current_day)), com::Variant(item_id),
                   com::Variant(item_id2), com::Variant(hits), com::Variant(entry_count),
                   com::Variant(exit_count)},
                  &error, kTraceErrorSize)) {
    site.Trace("Error adding path entry: " + error);
  }
}

// --- Reset ------------------------------------------------------------------------

void ResetStatistics(CSite& site) {
  {
    DatabaseLockGuard lock(site, "AddTextItem");
    Transaction transaction(site.connection());
    for (const char* table : {"tblData", "tblDay", "tblDomains", "tblHitStatus", "tblHour",
                              "tblPaths", "tblTargetHits", "tblVisitors"}) {
      std::string error;
      if (!ExecuteSql(site.connection(), std::string("DELETE * from ") + table, &error,
                      kResetErrorSize)) {
        site.Trace("Error writing text item: " + error);
      }
    }
    transaction.Commit();
    RunHistory& history = site.history;
    history.LastScanDate = 0;
    history.LastRecordDate = 0;
    history.LastFileDate = 0;
    history.stRejectInclude = 0;
    history.stRejectExclude = 0;
    history.SavedSessionsCheck = -1;  // no file to tie: it is removed below
    for (auto& stream : site.log_streams) stream->ResetProgress();
    site.settings.FtpLastDate = 0;
  }
  std::string sessions = site.DatabasePathWithExtension();
  if (!sessions.empty()) std::remove(sessions.c_str());
  site.settings_changed = true;
  site.StoreSettings();
}

void WriteVisitorDay(CSite& site, std::string_view day_text, const VisitorDayRow& row) {
  std::string error;
  if (!ExecuteSql(site.connection(),
                  "INSERT INTO tblVisitors (EntryDate, IPaddress, Hits, Bytes, SessionCount, "
                  "ViewTime) VALUES (?, ?, ?, ?, ?, ?) "
                  "ON CONFLICT (IPaddress, EntryDate) DO UPDATE SET Hits = Hits + excluded.Hits, "
                  "Bytes = Bytes + excluded.Bytes, "
                  "SessionCount = SessionCount + excluded.SessionCount, "
                  "ViewTime = ViewTime + excluded.ViewTime",
                  {com::Variant(std::string(day_text)), com::Variant(AddressToText(row.address)),
                   com::Variant(row.hits), com::Variant(static_cast<double>(row.bytes)),
                   com::Variant(row.sessions), com::Variant(row.view_time)},
                  &error, kTargetErrorSize)) {
    site.SetError("Error adding visitor: " + error);
  }
}

bool FindKnownVisitors(CSite& site, std::span<const std::uint32_t> addresses,
                       std::unordered_set<std::string>& known) {
  if (addresses.empty()) return true;
  // Always the same number of parameters (the first address repeated), so
  // that the statement is prepared once.
  static const std::string sql = [] {
    std::string text = "SELECT DISTINCT IPaddress FROM tblVisitors WHERE IPaddress IN (?";
    for (std::size_t i = 1; i < kKnownVisitorsBatch; ++i) text += ", ?";
    return text + ")";
  }();
  constexpr std::size_t kAddressSize = 16;
  db::Params params;
  for (std::size_t i = 0; i < kKnownVisitorsBatch; ++i) {
    params.push_back(com::Variant(AddressToText(addresses[i < addresses.size() ? i : 0])));
  }
  DatabaseLockGuard lock(site, "UpdateStatistics");
  if (site.connection() == nullptr) return false;
  try {
    db::Recordset rows = site.connection()->OpenRecordset(sql, params);
    for (; !rows.IsEof(); rows.MoveNext()) {
      known.insert(TextFieldValue(rows.Field(0), kAddressSize));
    }
    return true;
  } catch (const db::Error& e) {
    site.SetError(e.description());
    return false;
  }
}

void WriteHitStatusRow(CSite& site, std::string_view date, const HitStatusKey& key,
                       std::int32_t hits) {
  DatabaseLockGuard lock(site, "HitStatusStatistics");
  std::string error;
  if (!ExecuteSql(site.connection(),
                  "INSERT INTO tblHitStatus (EntryDate, StatusCode, ItemID, Hits) "
                  "VALUES (?, ?, ?, ?) "
                  "ON CONFLICT (EntryDate, StatusCode, ItemID) DO UPDATE SET "
                  "Hits = Hits + excluded.Hits",
                  {com::Variant(std::string(date)), com::Variant(key.status_code),
                   com::Variant(key.item_id), com::Variant(hits)},
                  &error, kTargetErrorSize)) {
    site.SetError("Error adding HitStatus: " + error);
  }
}

void WriteItemLastHit(CSite& site, std::int32_t item_id, TimeValue last_hit) {
  std::string error;
  if (!ExecuteSql(site.connection(), "UPDATE tblData SET LastHit=? WHERE ItemID=?",
                  {com::Variant(FormatTimeOrDefault(last_hit)), com::Variant(item_id)}, &error,
                  kTargetErrorSize)) {
    site.SetError("Error flushing items: " + error);
  }
}

}  // namespace tf
