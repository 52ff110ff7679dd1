#include "engine/store/transaction.h"

namespace tf {

Transaction::Transaction(db::Connection* connection) {
  if (connection == nullptr) return;
  try {
    connection->BeginTrans();
    connection_ = connection;
  } catch (const db::Error&) {
  }
}

Transaction::~Transaction() {
  if (connection_ == nullptr) return;
  try {
    connection_->RollbackTrans();
  } catch (const db::Error&) {
  }
}

bool Transaction::Commit() {
  if (connection_ == nullptr) return true;
  db::Connection* connection = connection_;
  try {
    connection->CommitTrans();
    connection_ = nullptr;
    return true;
  } catch (const db::Error&) {
    return false;  // the destructor rolls back
  }
}

}  // namespace tf
