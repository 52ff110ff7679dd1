#include "engine/store/write_batch.h"

#include "platform/db/error.h"

namespace tf {

void WriteBatch::BeforeWrite(db::Connection* connection) {
  if (connection_ != nullptr || connection == nullptr || !connection->IsOpen()) return;
  // Inside another transaction the write simply joins it.
  if (connection->TransactionLevel() != 0) return;
  try {
    connection->BeginTrans();
  } catch (const db::Error&) {
    return;
  }
  connection_ = connection;
  rows_ = 0;
  started_ = NowLocalSeconds();
}

void WriteBatch::AfterWrite() {
  if (connection_ == nullptr) return;
  if (++rows_ >= kMaxRows || NowLocalSeconds() - started_ >= kMaxSeconds) Commit();
}

void WriteBatch::CommitWhenOld() {
  if (connection_ != nullptr && NowLocalSeconds() - started_ >= kMaxSeconds) Commit();
}

void WriteBatch::Commit() {
  db::Connection* connection = connection_;
  if (connection == nullptr) return;
  int level = connection->TransactionLevel();
  // A transaction begun inside the batch ends first; the batch waits.
  if (level > 1) return;
  connection_ = nullptr;
  if (level == 0) return;  // the connection was closed meanwhile
  try {
    connection->CommitTrans();
  } catch (const db::Error&) {
    try {
      connection->RollbackTrans();
    } catch (const db::Error&) {
    }
  }
}

}  // namespace tf
