// WriteBatch: one transaction kept open on a connection across many
// single-row writes made one at a time (the new tblData rows of a run, and
// the rows of its hourly and daily writes), so that they cost one commit
// instead of one each. It is committed at the run's save points and at its
// end, and by itself once it has grown to kMaxRows rows or kMaxSeconds of
// wall time, so that other programs wait for the site's database only
// briefly and see the rows within about a second.
//
// The caller holds the site's database lock around every call.
#pragma once

#include "engine/logs/time_value.h"
#include "platform/db/connection.h"

namespace tf {

class WriteBatch {
 public:
  static constexpr int kMaxRows = 20000;
  static constexpr double kMaxSeconds = 1.0;

  WriteBatch() = default;
  ~WriteBatch() = default;
  WriteBatch(const WriteBatch&) = delete;
  WriteBatch& operator=(const WriteBatch&) = delete;

  // Before a write: begins a transaction when none is open. A connection
  // that cannot begin one leaves the write on its own.
  void BeforeWrite(db::Connection* connection);
  // After a write: commits once the batch is full or old.
  void AfterWrite();
  // Commits a batch that has grown old without further writes.
  void CommitWhenOld();
  // Commits what the batch holds; a failed commit rolls it back.
  void Commit();
  bool open() const { return connection_ != nullptr; }

 private:
  db::Connection* connection_ = nullptr;  // set while a transaction is open
  int rows_ = 0;
  TimeValue started_ = 0;
};

}  // namespace tf
