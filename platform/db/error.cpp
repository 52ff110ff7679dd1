#include "platform/db/error.h"

#include <sqlite3.h>

namespace tf::db {

Error::Error(int code, const std::string& description)
    : std::runtime_error(description.empty() ? sqlite3_errstr(code) : description), code_(code) {}

}  // namespace tf::db
