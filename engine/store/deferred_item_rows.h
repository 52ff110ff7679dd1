// A run's tblData rows while its writes are deferred. The run identifies
// every item it meets once; doing that on the site's own connection means
// waiting for the database lock behind the writer of the hour and day rows,
// once per new item. Here an item already stored is looked up on a second,
// reading connection (it sees what earlier runs committed), and a new one
// gets its ItemID at once, its row being written later on the writer, in
// order with the other deferred rows.
//
// The ItemIDs are those the table itself would give: the run holds the
// database's write transaction from its start, so nobody else adds rows.
// Names differing only in ASCII case are one row, as the table's key has
// them.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/common/ordered_jobs.h"
#include "engine/common/time_value.h"
#include "engine/store/database.h"

namespace tf {

class SiteDatabase;

// An item's stored identity: its row's ItemID and LastHit.
struct ItemRowIdentity {
  std::int32_t item_id = 0;  // 0 when the database gives none
  TimeValue last_hit = 0;
};

// The tblData row of (category, name) on `connection`, or nothing; a
// failed select raises db::Error.
std::optional<ItemRowIdentity> SelectItemRow(db::Connection& connection, std::int32_t category,
                                             std::string_view name);

class DeferredItemRows {
 public:
  explicit DeferredItemRows(SiteDatabase& database) : database_(database) {}
  DeferredItemRows(const DeferredItemRows&) = delete;
  DeferredItemRows& operator=(const DeferredItemRows&) = delete;

  // The row of (category, name): one this run added, or one stored before.
  std::optional<ItemRowIdentity> Find(std::int32_t category, std::string_view name);
  // A new row with LastHit last_hit; its ItemID is known at once, the row
  // is written on the writer (0 when no ItemID could be read).
  ItemRowIdentity Add(std::int32_t category, std::string_view name, TimeValue last_hit);
  // Hands the rows added since the last call to the writer. Called where
  // the caller may wait for the writer (it holds no database lock): the
  // rows wait until then, as no other row needs them written first.
  void Post(OrderedJobs& writer);

 private:
  struct NewRow {
    std::int32_t item_id;
    std::int32_t category;
    std::string name;
    std::string last_hit;
  };
  std::optional<ItemRowIdentity> FindStored(std::int32_t category, std::string_view name);
  std::optional<ItemRowIdentity> SelectStored(db::Connection& connection, std::int32_t category,
                                              std::string_view name);
  bool ReadNextId();
  static std::string AddedKey(std::int32_t category, std::string_view name);

  SiteDatabase& database_;
  std::mutex mutex_;
  ConnectionHolder reader_;
  bool reader_tried_ = false;
  std::int64_t next_id_ = 0;  // 0 until read
  std::unordered_map<std::string, ItemRowIdentity> added_;
  // Whether tblData held a row of the category when the run first asked.
  std::unordered_map<std::int32_t, bool> category_stored_;
  std::vector<NewRow> pending_;
};

}  // namespace tf
