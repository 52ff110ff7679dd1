// Indexes that site databases made from an older template lack. They are
// added when a site database is opened; adding one that exists does nothing.
#pragma once

#include "platform/db/connection.h"

namespace tf {

// Adds the missing indexes to an open site database. A failure (a file that
// cannot be written, say) leaves the database as it was and is not an
// error: the indexes only make reports faster.
void AddMissingSiteIndexes(db::Connection& connection);

}  // namespace tf
