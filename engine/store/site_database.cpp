#include "engine/store/site_database.h"

namespace tf {

void SiteDatabase::PostPageWrite() {
  if (!deferred_) return;
  deferred_->Post([this] {
    DatabaseLockGuard lock(*this, "WriteChangedPages");
    // Pages that could not be written now still are at the commit.
    if (db::Connection* open = connection()) open->WriteChangedPages();
  });
}

}  // namespace tf
