#include "engine/stats/period_writes.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine/common/address.h"
#include "engine/site/text_item.h"
#include "engine/stats/flush_support.h"
#include "engine/store/field_values.h"
#include "engine/store/row_statements.h"
#include "engine/store/stored_date.h"
#include "engine/store/transaction.h"
#include "platform/db/recordset.h"

namespace tf {

namespace {

constexpr std::size_t kTraceErrorSize = 500;
constexpr std::size_t kTargetErrorSize = 200;
constexpr std::size_t kResetErrorSize = 1000;
// The writer lets go of the database lock between so many rows, so that
// the run's own lookups do not wait for a whole flush: a few group
// statements, a fraction of a millisecond.
constexpr std::size_t kDeferredRowsPerHold = 64;

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

// Where a failed row goes: the event log's trace or the site's error text,
// with the database's description cut to error_size - 1 bytes.
struct RowFailure {
  bool trace;
  std::string_view prefix;
  std::size_t error_size;
};

// Runs every row through the statements under one hold of the database
// lock (in groups where a group statement is given, see ExecuteRows); a
// failed row is reported and the next one is still written.
template <typename Row, typename Bind>
void WriteRows(SiteDatabase& database, std::string_view operation, std::string_view sql,
               std::span<const Row> rows, Bind bind, const RowFailure& failure,
               const RowsWritten& written, std::string_view group_sql = {}) {
  DatabaseLockGuard lock(database, operation);
  auto report = [&](std::string_view description) {
    std::string error;
    SafeCopy(error, description, failure.error_size);
    std::string text = std::string(failure.prefix) + error;
    if (failure.trace) {
      database.Trace(text);
    } else {
      database.SetError(text);
    }
  };
  db::Connection* connection = database.connection();
  if (connection == nullptr) {  // the site's database could not be opened
    std::string closed;
    ExecuteSql(connection, sql, &closed);
    for (std::size_t k = 1; k <= rows.size(); ++k) {
      report(closed);
      if (written) written(k);
    }
    return;
  }
  std::size_t done = 0;
  ExecuteRows(
      *connection, sql, group_sql, rows.size(),
      [&](std::size_t i, db::RowBinder& values) { bind(rows[i], values); },
      [&](std::size_t, const db::Error& e) { report(e.description()); },
      [&](std::size_t run) {
        done = run;
        if (written) written(run);
      });
  if (written && done < rows.size()) written(rows.size());
}

template <typename Row, typename Bind>
void WriteRows(SiteDatabase& database, std::string_view operation, const RowStatements& upsert,
               std::span<const Row> rows, Bind bind, const RowFailure& failure,
               const RowsWritten& written) {
  WriteRows(database, operation, upsert.one, rows, bind, failure, written, upsert.group);
}

// tblHour and tblDay have the same columns and the same key: a row that
// exists gets the amounts added.
RowStatements ItemPeriodUpsert(std::string_view table) {
  return RowStatements("INSERT INTO " + std::string(table) +
                    " (EntryDate, Category, ItemID, Hits, Bytes, EntryCount, ExitCount, "
                    "SessionCount, ViewTime)",
                "(?, ?, ?, ?, ?, ?, ?, ?, ?)",
                "ON CONFLICT (EntryDate, Category, ItemID) DO UPDATE SET Hits = Hits + excluded.Hits, "
                "Bytes = Bytes + excluded.Bytes, EntryCount = EntryCount + excluded.EntryCount, "
                "ExitCount = ExitCount + excluded.ExitCount, "
                "SessionCount = SessionCount + excluded.SessionCount, "
                "ViewTime = ViewTime + excluded.ViewTime");
}

}  // namespace

void WriteItemPeriods(SiteDatabase& database, ItemPeriod period, TimeValue date,
                      std::span<const ItemPeriodRow> rows, const RowsWritten& written) {
  static const RowStatements kHour = ItemPeriodUpsert("tblHour");
  static const RowStatements kDay = ItemPeriodUpsert("tblDay");
  const bool hour = period == ItemPeriod::kHour;
  const std::string& date_text = PeriodDate(date);
  WriteRows(
      database, hour ? "WriteHourlyItemEntry" : "WriteDailyItemEntry", hour ? kHour : kDay,
      rows,
      [&](const ItemPeriodRow& row, db::RowBinder& values) {
        const PeriodCounters& c = row.counters;
        values.SharedText(date_text);
        values.Int(row.category);
        values.Int(row.item_id);
        values.Int(c.Hits);
        values.Double(static_cast<double>(c.Bytes));
        values.Int(c.EntryCount);
        values.Int(c.ExitCount);
        values.Int(c.SessionCount);
        values.Int(c.ViewTime);
      },
      {true, hour ? "Error adding hourly item: " : "Error adding daily item: ", kTraceErrorSize},
      written);
}

namespace {

// Sorts the rows, then writes them: on the run's writer a few rows per hold
// of the database lock, so that the run's own lookups do not wait for a
// whole flush; without a writer now, telling `written`.
template <typename Row, typename Sort, typename Write>
void PostRows(SiteDatabase& database, const char* operation, std::vector<Row> rows,
              Sort sort, Write write, const RowsWritten& written) {
  if (rows.empty()) return;
  OrderedJobs* writer = database.deferred();
  if (writer == nullptr) {
    sort(rows);
    RowBurst burst(database, operation);
    write(std::span<const Row>(rows), written);
    return;
  }
  writer->Post([&database, operation, sort, write, rows = std::move(rows)]() mutable {
    sort(rows);
    std::span<const Row> all(rows);
    for (std::size_t at = 0; at < all.size(); at += kDeferredRowsPerHold) {
      database.GiveWay();
      RowBurst burst(database, operation);
      write(all.subspan(at, std::min(kDeferredRowsPerHold, all.size() - at)), RowsWritten());
    }
  });
}

}  // namespace

void PostItemPeriods(SiteDatabase& database, ItemPeriod period, TimeValue date,
                     std::vector<ItemPeriodRow> rows, const RowsWritten& written) {
  // In key order the rows go to neighbouring index pages, most often
  // appended at its end.
  auto sort = [](std::vector<ItemPeriodRow>& all) {
    std::sort(all.begin(), all.end(), [](const ItemPeriodRow& a, const ItemPeriodRow& b) {
      return a.category != b.category ? a.category < b.category : a.item_id < b.item_id;
    });
  };
  PostRows(database,
           period == ItemPeriod::kHour ? "WriteHourlyItemEntry" : "WriteDailyItemEntry",
           std::move(rows), sort,
           [&database, period, date](std::span<const ItemPeriodRow> part,
                                     const RowsWritten& done) {
             WriteItemPeriods(database, period, date, part, done);
           },
           written);
}

void PostVisitorDays(SiteDatabase& database, TimeValue day, std::vector<VisitorDayRow> rows,
                     const RowsWritten& written) {
  // In the order of the table's key: each row then lands beside the last
  // one instead of anywhere in the index.
  auto sort = [](std::vector<VisitorDayRow>& all) {
    std::vector<std::pair<std::string, VisitorDayRow>> keyed;
    keyed.reserve(all.size());
    for (const VisitorDayRow& row : all) keyed.emplace_back(AddressToText(row.address), row);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = keyed[i].second;
  };
  PostRows(database, "UpdateStatistics", std::move(rows), sort,
           [&database, day](std::span<const VisitorDayRow> part, const RowsWritten& done) {
             WriteVisitorDays(database, day, part, done);
           },
           written);
}

ItemPeriodRow TakeItemPeriodRow(CTextItem& item, ItemPeriod period) {
  PeriodCounters& counters = period == ItemPeriod::kHour ? item.hour : item.day;
  ItemPeriodRow row{item.category, item.ItemID, counters};
  counters = PeriodCounters{};
  return row;
}

// --- Target pages -----------------------------------------------------------

void WriteTargetHits(SiteDatabase& database, TimeValue day, std::span<const TargetHitRow> rows) {
  const std::string& date_text = PeriodDate(day);
  static const RowStatements kSql(
      "INSERT INTO tblTargetHits (EntryDate, ReferringSite, ReferringCategory, "
      "KeywordPhrase, TargetPage, TargetHits, TotalSessions)",
      "(?, ?, ?, ?, ?, ?, 0)",
      "ON CONFLICT (EntryDate, KeywordPhrase, ReferringSite, ReferringCategory, "
      "TargetPage) DO UPDATE SET TargetHits = TargetHits + excluded.TargetHits");
  WriteRows(
      database, "WriteDailyTargets", kSql, rows,
      [&](const TargetHitRow& row, db::RowBinder& values) {
        values.SharedText(date_text);
        values.Int(row.referring_item);
        values.Int(row.referring_category);
        values.Int(row.phrase);
        values.Int(row.target_page);
        values.Int(row.sessions);
      },
      {false, "Error adding target page entry: ", kTargetErrorSize}, {});
}

void WriteTargetSessions(SiteDatabase& database, TimeValue day,
                         std::span<const TargetSessionsRow> rows, const RowsWritten& written) {
  const std::string& date_text = PeriodDate(day);
  WriteRows(
      database, "WriteDailyTargets",
      "UPDATE tblTargetHits SET TotalSessions = TotalSessions + ? "
      "WHERE ReferringSite=? AND ReferringCategory=? AND KeywordPhrase=? "
      "AND EntryDate=?",
      rows,
      [&](const TargetSessionsRow& row, db::RowBinder& values) {
        values.Int(row.sessions);
        values.Int(row.referring_item);
        values.Int(row.referring_category);
        values.Int(row.phrase);
        values.SharedText(date_text);
      },
      {false, "", kTargetErrorSize}, written);
}

// --- Click paths ----------------------------------------------------------------

void WriteDailyPaths(SiteDatabase& database, TimeValue day, std::span<const PathRow> rows,
                     const RowsWritten& written) {
  const std::string& date_text = PeriodDate(day);
  static const RowStatements kSql(
      "INSERT INTO tblPaths (EntryDate, ItemID, ItemID2, Hits, EntryCount, ExitCount)",
      "(?, ?, ?, ?, ?, ?)",
      "ON CONFLICT (EntryDate, ItemID, ItemID2) DO UPDATE SET "
      "Hits = Hits + excluded.Hits, EntryCount = EntryCount + excluded.EntryCount, "
      "ExitCount = ExitCount + excluded.ExitCount");
  WriteRows(
      database, "WriteDailyPathEntry", kSql, rows,
      [&](const PathRow& row, db::RowBinder& values) {
        values.SharedText(date_text);
        values.Int(row.item_id);
        values.Int(row.item_id2);
        values.Int(row.hits);
        values.Int(row.entry_count);
        values.Int(row.exit_count);
      },
      {true, "Error adding path entry: ", kTraceErrorSize}, written);
}

// --- Reset ------------------------------------------------------------------------

void DeleteStatisticsRows(SiteDatabase& database) {
  DatabaseLockGuard lock(database, "AddTextItem");
  Transaction transaction(database.connection());
  for (const char* table : {"tblData", "tblDay", "tblDomains", "tblHitStatus", "tblHour",
                            "tblPaths", "tblTargetHits", "tblVisitors"}) {
    std::string error;
    if (!ExecuteSql(database.connection(), std::string("DELETE * from ") + table, &error,
                    kResetErrorSize)) {
      database.Trace("Error writing text item: " + error);
    }
  }
  transaction.Commit();
}

void WriteVisitorDays(SiteDatabase& database, TimeValue day, std::span<const VisitorDayRow> rows,
                      const RowsWritten& written) {
  const std::string& date_text = PeriodDate(day);
  static const RowStatements kSql(
      "INSERT INTO tblVisitors (EntryDate, IPaddress, Hits, Bytes, SessionCount, ViewTime)",
      "(?, ?, ?, ?, ?, ?)",
      "ON CONFLICT (IPaddress, EntryDate) DO UPDATE SET Hits = Hits + excluded.Hits, "
      "Bytes = Bytes + excluded.Bytes, "
      "SessionCount = SessionCount + excluded.SessionCount, "
      "ViewTime = ViewTime + excluded.ViewTime");
  WriteRows(
      database, "UpdateStatistics", kSql, rows,
      [&](const VisitorDayRow& row, db::RowBinder& values) {
        values.SharedText(date_text);
        values.Text(AddressToText(row.address));
        values.Int(row.hits);
        values.Double(static_cast<double>(row.bytes));
        values.Int(row.sessions);
        values.Int(row.view_time);
      },
      {false, "Error adding visitor: ", kTargetErrorSize}, written);
}

bool FindKnownVisitors(SiteDatabase& database, std::span<const std::uint32_t> addresses,
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
  DatabaseLockGuard lock(database, "UpdateStatistics");
  if (database.connection() == nullptr) return false;
  try {
    db::Recordset rows = database.connection()->OpenRecordset(sql, params);
    for (; !rows.IsEof(); rows.MoveNext()) {
      known.insert(TextFieldValue(rows.Field(0), kAddressSize));
    }
    return true;
  } catch (const db::Error& e) {
    database.SetError(e.description());
    return false;
  }
}

void WriteHitStatusRows(SiteDatabase& database, TimeValue day, std::span<const HitStatusRow> rows,
                        const RowsWritten& written) {
  const std::string& date_text = PeriodDate(day);
  static const RowStatements kSql(
      "INSERT INTO tblHitStatus (EntryDate, StatusCode, ItemID, Hits)", "(?, ?, ?, ?)",
      "ON CONFLICT (EntryDate, StatusCode, ItemID) DO UPDATE SET Hits = Hits + excluded.Hits");
  WriteRows(
      database, "HitStatusStatistics", kSql, rows,
      [&](const HitStatusRow& row, db::RowBinder& values) {
        values.SharedText(date_text);
        values.Int(row.key.status_code);
        values.Int(row.key.item_id);
        values.Int(row.hits);
      },
      {false, "Error adding HitStatus: ", kTargetErrorSize}, written);
}

void WriteItemLastHits(SiteDatabase& database, std::span<const ItemLastHitRow> rows,
                       const RowsWritten& written) {
  WriteRows(
      database, "FlushItemDates", "UPDATE tblData SET LastHit=? WHERE ItemID=?", rows,
      [](const ItemLastHitRow& row, db::RowBinder& values) {
        values.Text(StoredDateText(row.last_hit));
        values.Int(row.item_id);
      },
      {false, "Error flushing items: ", kTargetErrorSize}, written);
}

}  // namespace tf
