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

// A prepared statement lent by its connection for one use. A cached
// statement stays in the cache, marked lent (so it is never used twice at
// once: a second use of the same text gets a statement of its own), and is
// reset and marked free when the Statement goes out of scope; it is looked
// up once per use, not taken out and put back.
class Statement {
 public:
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  sqlite3_stmt* get() const { return stmt_; }
  const Translation& translation() const { return *translation_; }

 private:
  friend class Connection::Impl;
  Statement(Connection::Impl* owner, std::shared_ptr<const Translation> translation, sqlite3_stmt* stmt,
            unsigned generation, void* entry)
      : owner_(owner), translation_(std::move(translation)), stmt_(stmt), generation_(generation),
        entry_(entry) {}

  Connection::Impl* owner_;
  std::shared_ptr<const Translation> translation_;
  sqlite3_stmt* stmt_;
  unsigned generation_;
  void* entry_;  // its cache entry, or nullptr when it is not cached
};

class Connection::Impl {
 public:
  ~Impl() { Close(); }

  void Open(const std::string& path, Connection::Serialization serialization);
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
    bool lent = false;
  };
  using CachedList = std::list<Cached>;
  // The most recently used statement when it is of this text and free:
  // the rows of a flush run one statement over and over, and are spared
  // building and hashing its key. Null otherwise.
  std::unique_ptr<Statement> LendFront(char kind, std::string_view sql);
  std::unique_ptr<Statement> Lend(std::string key, const std::function<Translation()>& translate);
  sqlite3_stmt* PrepareText(const std::string& sql);
  // Keeps a new statement in the cache, lent, dropping the least recently
  // used one that is not lent when the cache is full.
  Cached& Keep(std::string key, std::shared_ptr<const Translation> translation, sqlite3_stmt* stmt);
  void GiveBack(Statement& statement);
  void ForgetSchema();

  static constexpr std::size_t kCacheSize = 128;
  CachedList lru_;  // most recently used first
  std::unordered_map<std::string, CachedList::iterator> cache_;
  std::map<std::string, std::vector<ColumnInfo>> columns_;  // by upper-case table name
  unsigned generation_ = 0;  // counts schema changes and reopenings
};

}  // namespace tf::db
