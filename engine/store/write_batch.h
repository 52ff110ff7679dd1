// WriteBatch: the run's transaction, kept open on a connection across all
// the writes of a run (the new tblData rows, the hourly and daily rows, the
// settings with the log streams' positions), so that they cost one commit
// and, above all, commit together: a run cut short leaves the site as the
// last finished run left it, and the next run reads the same records
// again, never counting one twice. Other programs read the committed rows
// meanwhile (the database keeps a write-ahead log).
//
// The caller holds the site's database lock around every call.
#pragma once

#include "platform/db/connection.h"

namespace tf {

class WriteBatch {
 public:
  WriteBatch() = default;
  ~WriteBatch() = default;
  WriteBatch(const WriteBatch&) = delete;
  WriteBatch& operator=(const WriteBatch&) = delete;

  // Before a write: begins a transaction when none is open. A connection
  // that cannot begin one leaves the write on its own.
  void BeforeWrite(db::Connection* connection);
  // Commits what the batch holds; a failed commit rolls it back and gives
  // false.
  bool Commit();
  bool open() const { return connection_ != nullptr; }

 private:
  db::Connection* connection_ = nullptr;  // set while a transaction is open
};

}  // namespace tf
