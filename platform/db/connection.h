// Connection: one open database file, with the face the system's code was
// written against (open, execute one statement, transactions) and the DAO
// call the report code uses to read (OpenRecordset).
//
// Statements are written in the Jet dialect the system speaks (#m/d/yyyy#
// dates, TOP n, [names], * wildcards, ...); the connection translates them
// for SQLite (see jet_sql.h). Values that come from users or logs go in as
// parameters: every '?' outside a literal is bound, in order, from `params`.
//
// A connection is used by one thread at a time; its holder serialises the
// calls. Several connections, in this and other processes, may share one
// file: the journal is write-ahead, and a statement waits up to the command
// time-out for another writer to finish.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/variant.h"
#include "platform/db/error.h"

namespace tf::db {

using Params = std::vector<com::Variant>;

class Recordset;
class Statement;

// The values of one row, bound straight to a statement's parameters in
// order: a flush binds millions of them, and a Variant for each costs a
// good part of a row's write.
class RowBinder {
 public:
  void Int(std::int32_t value);
  template <typename T>
  void Int(T) = delete;  // a wider number would be cut without a word
  void Double(double value);
  // Bound as it is, copied: a date must be in the stored form already.
  void Text(std::string_view value);
  // As Text, but not copied: the text must stay as it is until the
  // statement has run every row. For a value that all rows share, or rows
  // the caller holds until ExecuteEachBound returns.
  void SharedText(std::string_view value);
  // As Params bind it: a text for a date column in any date spelling.
  void Value(const com::Variant& value);

 private:
  friend class Connection;
  explicit RowBinder(const Statement& statement) : statement_(statement) {}
  int NextIndex();
  void Keep(int rc);
  void BindText(std::string_view value, void (*lifetime)(void*));
  // Raises the error of the first value that failed, or of a count of
  // values that is not the statement's.
  void Check() const;

  const Statement& statement_;
  int bound_ = 0;
  int rc_ = 0;
};

// Makes a new, empty database file. Fails when the file already exists.
// Opening never creates a file; templates and tests start here.
void CreateDatabase(const std::string& path);

class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Who keeps two threads from using the connection at once. The library
  // can lock every call itself; where the caller already holds a lock of
  // its own around every use (of the connection and of each statement and
  // recordset it made), that second lock per call is only a cost.
  enum class Serialization { kByLibrary, kByCaller };
  // Opens an existing database file. A missing file, or one that is not a
  // database, raises Error. An open connection is closed first.
  void Open(const std::string& path, Serialization serialization = Serialization::kByLibrary);
  // Rolls back a transaction left open. Closing a closed connection does
  // nothing.
  void Close();
  bool IsOpen() const;
  const std::string& path() const;

  // How long one statement waits for the locks of other connections
  // (default 3600 seconds).
  void SetCommandTimeout(int seconds);

  // Runs exactly one statement; a result set is discarded unread. Returns
  // the number of rows the statement inserted, changed or deleted.
  int Execute(std::string_view sql);
  int Execute(std::string_view sql, const Params& params);
  // Runs one statement once for each of `rows` rows, with the values that
  // fill(i, params) puts in the emptied params for row i. A row that fails
  // goes to failed(i, error) and the next row still runs. The statement is
  // found and checked once for all the rows, not once a row.
  void ExecuteEach(std::string_view sql, std::size_t rows,
                   const std::function<void(std::size_t, Params&)>& fill,
                   const std::function<void(std::size_t, const Error&)>& failed);
  // ExecuteEach with the values bound by bind(i, row) for row i, each row
  // from a fresh binder.
  void ExecuteEachBound(std::string_view sql, std::size_t rows,
                        const std::function<void(std::size_t, RowBinder&)>& bind,
                        const std::function<void(std::size_t, const Error&)>& failed);
  // The row id (an INTEGER PRIMARY KEY's value) of the row the last
  // successful INSERT on this connection added.
  std::int64_t LastInsertRowId() const;
  // Writes the pages changed so far to the journal, keeping any open
  // transaction open: they no longer wait for its commit. False when
  // they could not be written; they are then written at the commit.
  bool WriteChangedPages();
  // Makes the statement running on this connection, if any, fail soon
  // with an interruption. The one call another thread may make; the
  // connection must stay open meanwhile.
  void Interrupt();

  // Transactions nest; BeginTrans returns the new level (1 = outermost).
  // Committing or rolling back with none open raises Error.
  int BeginTrans();
  void CommitTrans();
  void RollbackTrans();
  int TransactionLevel() const;

  // The DAO way of reading: a dynaset (all rows, scrollable, updatable when
  // it reads one table) over one SELECT.
  Recordset OpenRecordset(std::string_view sql);
  Recordset OpenRecordset(std::string_view sql, const Params& params);

  class Impl;

 private:
  friend class Recordset;
  Impl& impl();
  std::unique_ptr<Impl> impl_;
};

}  // namespace tf::db
