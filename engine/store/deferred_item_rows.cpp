#include "engine/store/deferred_item_rows.h"

#include <algorithm>
#include <utility>

#include "engine/common/ascii.h"
#include "engine/common/text.h"
#include "engine/store/field_values.h"
#include "engine/store/row_statements.h"
#include "engine/store/site_database.h"
#include "engine/store/stored_date.h"
#include "platform/db/recordset.h"

namespace tf {

namespace {

constexpr std::size_t kErrorSize = 500;

std::int64_t FirstInteger(db::Connection& connection, std::string_view sql) {
  db::Recordset rows = connection.OpenRecordset(sql);
  if (rows.IsEof() || rows.Field(0).is_null()) return 0;
  return static_cast<std::int64_t>(rows.Field(0).ToDouble());
}

}  // namespace

std::optional<ItemRowIdentity> SelectItemRow(db::Connection& connection, std::int32_t category,
                                             std::string_view name) {
  db::Recordset rows = connection.OpenRecordset(
      "SELECT ItemID, LastHit FROM tblData WHERE Category=? AND Name=?",
      {com::Variant(category), com::Variant(std::string(name))});
  if (rows.IsEof()) return std::nullopt;
  return ItemRowIdentity{rows.Field(0).ToInt32(), DateFieldValue(rows.Field(1))};
}

std::string DeferredItemRows::AddedKey(std::int32_t category, std::string_view name) {
  std::string key = std::to_string(category);
  key.push_back(':');
  key.append(name);
  // The table's NOCASE folds ASCII letters only.
  std::transform(key.begin(), key.end(), key.begin(), ToLowerAscii);
  return key;
}

std::optional<ItemRowIdentity> DeferredItemRows::Find(std::int32_t category, std::string_view name) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto added = added_.find(AddedKey(category, name));
  if (added != added_.end()) return added->second;
  return FindStored(category, name);
}

std::optional<ItemRowIdentity> DeferredItemRows::FindStored(std::int32_t category,
                                                            std::string_view name) {
  if (!reader_tried_) {
    reader_tried_ = true;
    std::string path;
    {
      DatabaseLockGuard lock(database_, "FindTextItem");
      if (database_.connection() != nullptr) path = database_.connection()->path();
    }
    std::string error;
    if (!path.empty() && !OpenConnection(reader_, path, error)) reader_.reset();
  }
  try {
    if (reader_) return SelectStored(*reader_, category, name);
    // Without a reader, the writer's connection: this run's rows there are
    // found in added_ before.
    DatabaseLockGuard lock(database_, "FindTextItem");
    if (database_.connection() == nullptr) return std::nullopt;
    return SelectStored(*database_.connection(), category, name);
  } catch (const db::Error& e) {
    database_.SetError(e.description());
    return std::nullopt;
  }
}

std::optional<ItemRowIdentity> DeferredItemRows::SelectStored(db::Connection& connection,
                                                              std::int32_t category,
                                                              std::string_view name) {
  // Asked once per category: on a site's first run most categories hold
  // no row, and each new item then costs no query. Rows added later by
  // this run are found in added_ before.
  auto known = category_stored_.find(category);
  if (known == category_stored_.end()) {
    // Kept only once answered: a failed probe is asked again next time.
    db::Recordset any = connection.OpenRecordset(
        "SELECT TOP 1 ItemID FROM tblData WHERE Category=?", {com::Variant(category)});
    known = category_stored_.emplace(category, !any.IsEof()).first;
  }
  if (!known->second) return std::nullopt;
  return SelectItemRow(connection, category, name);
}

bool DeferredItemRows::ReadNextId() {
  if (next_id_ > 0) return true;
  DatabaseLockGuard lock(database_, "AddTextItem");
  db::Connection* connection = database_.connection();
  if (connection == nullptr) return false;
  try {
    // As AUTOINCREMENT gives them: past the highest ever used.
    next_id_ = std::max(FirstInteger(*connection, "SELECT Max(ItemID) FROM tblData"),
                        FirstInteger(*connection,
                                     "SELECT seq FROM sqlite_sequence WHERE name = 'tblData'")) +
               1;
  } catch (const db::Error& e) {
    database_.Trace("Error writing text item: " + e.description());
    return false;
  }
  return true;
}

ItemRowIdentity DeferredItemRows::Add(std::int32_t category, std::string_view name,
                                      TimeValue last_hit) {
  std::lock_guard<std::mutex> lock(mutex_);
  ItemRowIdentity added{0, last_hit};
  if (!ReadNextId() || next_id_ > INT32_MAX) return added;
  added.item_id = static_cast<std::int32_t>(next_id_++);
  added_.emplace(AddedKey(category, name), added);
  pending_.push_back(
      NewRow{added.item_id, category, std::string(name), StoredDateText(last_hit)});
  return added;
}

void DeferredItemRows::Post(OrderedJobs& writer) {
  std::vector<NewRow> rows;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    rows = std::exchange(pending_, {});
  }
  if (rows.empty()) return;
  writer.Post([&database = database_, rows = std::move(rows)] {
    database.GiveWay();
    DatabaseLockGuard lock(database, "AddTextItem");
    database.JoinBatch();
    db::Connection* connection = database.connection();
    if (connection == nullptr) return;
    static const RowStatements kInsert("INSERT INTO tblData (ItemID, Category, Name, LastHit)",
                                       "(?, ?, ?, ?)", "");
    ExecuteRows(
        *connection, kInsert.one, kInsert.group, rows.size(),
        [&](std::size_t i, db::RowBinder& values) {
          const NewRow& row = rows[i];
          values.Int(row.item_id);
          values.Int(row.category);
          // The rows outlive the statements: their texts need no copy.
          values.SharedText(row.name);
          values.SharedText(row.last_hit);  // in the stored form already
        },
        [&](std::size_t, const db::Error& e) {
          std::string error;
          SafeCopy(error, e.description(), kErrorSize);
          database.Trace("Error writing text item: " + error);
        },
        [](std::size_t) {});
  });
}

}  // namespace tf
