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
}

bool WriteBatch::Commit() {
  db::Connection* connection = connection_;
  if (connection == nullptr) return true;
  int level = connection->TransactionLevel();
  // A transaction begun inside the batch ends first; the batch waits.
  if (level > 1) return false;
  connection_ = nullptr;
  if (level == 0) return false;  // the connection was closed meanwhile
  try {
    connection->CommitTrans();
    return true;
  } catch (const db::Error&) {
    try {
      connection->RollbackTrans();
    } catch (const db::Error&) {
    }
    return false;
  }
}

}  // namespace tf
