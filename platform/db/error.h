// The one kind of failure the database layer raises: the database engine's
// description of what went wrong and its result code (an SQLite result code;
// checks made by the layer itself use the closest SQLite code).
#pragma once

#include <stdexcept>
#include <string>

namespace tf::db {

class Error : public std::runtime_error {
 public:
  // An empty description becomes the standard text of the code.
  Error(int code, const std::string& description);

  int code() const { return code_; }
  std::string description() const { return what(); }

 private:
  int code_;
};

}  // namespace tf::db
