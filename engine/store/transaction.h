// A transaction on one connection that rolls back unless committed, so a
// store that deletes rows before it writes their replacements can never
// leave the rows deleted. A connection that cannot begin one (closed)
// leaves the transaction inactive; its statements fail on their own.
#pragma once

#include "platform/db/connection.h"

namespace tf {

class Transaction {
 public:
  explicit Transaction(db::Connection* connection);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // False when the commit failed (the work is then rolled back).
  bool Commit();

 private:
  db::Connection* connection_ = nullptr;  // null when inactive or finished
};

}  // namespace tf
