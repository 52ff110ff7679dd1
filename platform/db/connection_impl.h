// Inside a Connection: the SQLite handle, the caches of prepared statements
// and of table columns, and the transaction level. Shared with Recordset.
#pragma once

#include <sqlite3.h>

#include <list>
#include <map>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/db/connection.h"
#include "platform/db/jet_sql.h"

namespace tf::db {

inline constexpr char kClosed[] = "Operation is not allowed when the object is closed.";

// A prepared statement lent by its connection for one use. It leaves the
// cache while lent (so a statement is never used twice at once) and goes
// back, reset, when the Statement goes out of scope.
class Statement {
 public:
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  sqlite3_stmt* get() const { return stmt_; }
  const Translation& translation() const { return *translation_; }

 private:
  friend class Connection::Impl;
  Statement(Connection::Impl* owner, std::string key, std::shared_ptr<const Translation> translation,
            sqlite3_stmt* stmt, unsigned generation)
      : owner_(owner), key_(std::move(key)), translation_(std::move(translation)), stmt_(stmt),
        generation_(generation) {}

  Connection::Impl* owner_;
  std::string key_;
  std::shared_ptr<const Translation> translation_;
  sqlite3_stmt* stmt_;
  unsigned generation_;
};

class Connection::Impl {
 public:
  ~Impl() { Close(); }

  void Open(const std::string& path);
  void Close();
  void RequireOpen() const;

  // The statement for Jet SQL text: translated and prepared, or taken from
  // the cache when the same text was prepared before.
  std::unique_ptr<Statement> Prepare(std::string_view sql, bool want_row_id);
  // The same for SQL the layer writes itself, in SQLite's dialect.
  std::unique_ptr<Statement> PrepareNative(const std::string& sql);
  // Binds params to the statement's '?'s.
  void Bind(const Statement& statement, const Params& params);
  // Binds one value to parameter `index` (1-based); see BindVariant.
  void BindValue(sqlite3_stmt* stmt, int index, const com::Variant& value, bool date_target);
  // Steps a statement that returns no rows to its end; raises on failure.
  void Run(const Statement& statement);
  // After a statement has run: data definition makes the cached
  // translations and column lists stale.
  void Ran(const Statement& statement);

  [[noreturn]] void Raise(int rc) const;
  void Check(int rc) const {
    if (rc != SQLITE_OK) Raise(rc);
  }
  void Exec(const std::string& sql);

  const std::vector<ColumnInfo>* Columns(std::string_view table);

  sqlite3* db = nullptr;
  std::string path;
  int level = 0;
  int timeout_ms = 3600 * 1000;

 private:
  friend class Statement;
  struct Cached {
    std::string key;
    std::shared_ptr<const Translation> translation;
    sqlite3_stmt* stmt;
  };
  std::unique_ptr<Statement> Lend(std::string key, const std::function<Translation()>& translate);
  void GiveBack(Statement& statement);
  void ForgetSchema();

  static constexpr std::size_t kCacheSize = 128;
  std::list<Cached> lru_;  // most recently used first
  std::unordered_map<std::string, std::list<Cached>::iterator> cache_;
  std::map<std::string, std::vector<ColumnInfo>> columns_;  // by upper-case table name
  unsigned generation_ = 0;  // counts schema changes and reopenings
};

}  // namespace tf::db
