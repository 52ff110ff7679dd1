// The site's target pages in tblTargetPages: read whole, and written whole
// when the list was edited.
#include "engine/site/site.h"
#include "engine/store/field_values.h"
#include "engine/store/transaction.h"
#include "platform/db/recordset.h"

namespace tf {

namespace {

constexpr std::size_t kPageNameSize = 200;
constexpr std::size_t kErrorSize = 500;

}  // namespace

bool CSite::SetupTargetPages() {
  SiteLockGuard site_lock(*this, "SetupTargetPages");
  DatabaseLockGuard database_lock(database_, "SetupTargetPages");
  target_pages.clear();
  if (connection() == nullptr) return true;
  try {
    db::Recordset rs;
    rs.Open("SELECT * FROM tblTargetPages", *connection(), db::kOpenKeyset, db::kLockOptimistic);
    for (; !rs.IsEof(); rs.MoveNext()) {
      CTargetPage page;
      page.Name = TextFieldValue(rs.Field("Name"), kPageNameSize);
      page.DateAdded = DateFieldValue(rs.Field("DateAdded"));
      target_pages.push_back(std::move(page));
    }
  } catch (const db::Error&) {
    // The pages read so far stay.
  }
  return true;
}

bool CSite::StoreTargetPages() {
  if (!target_pages_changed) return true;
  target_pages_changed = false;
  SiteLockGuard site_lock(*this, "StoreTargetPages");
  DatabaseLockGuard database_lock(database_, "StoreTargetPages");
  // The old list goes only together with the writing of the new one.
  Transaction transaction(connection());
  std::string error;
  if (!ExecuteSql(connection(), "Delete from tblTargetPages", &error, kErrorSize)) {
    Trace("Error deleting target pages: " + error);
  }
  for (const CTargetPage& page : target_pages) {
    if (!ExecuteSql(connection(), "INSERT INTO tblTargetPages (Name, DateAdded) VALUES (?, ?)",
                    {com::Variant(page.Name), com::Variant(FormatTimeOrDefault(page.DateAdded))},
                    &error, kErrorSize)) {
      Trace("Error adding target page: " + error);
      target_pages_changed = true;  // still to be written
      return false;
    }
  }
  if (transaction.Commit()) return true;
  target_pages_changed = true;
  return false;
}

}  // namespace tf
