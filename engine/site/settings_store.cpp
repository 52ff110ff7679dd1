// The typed settings operations of a site: one key each, under the site's
// database lock.
#include <optional>

#include "engine/site/site.h"
#include "engine/store/field_values.h"
#include "engine/store/settings_table.h"
#include "platform/db/recordset.h"

namespace tf {

namespace {

constexpr std::size_t kInsertErrorSize = 500;
constexpr std::size_t kCreateErrorSize = 200;

// Older site databases lack the memo table; the memo operations make it.
void CreateMemoTableWhenMissing(CSite& site) {
  if (site.connection() == nullptr) return;
  try {
    site.connection()->OpenRecordset("SELECT Name FROM tblSettingsMemo WHERE Name=?",
                                     {com::Variant("")});
    return;
  } catch (const db::Error&) {
  }
  std::string error;
  if (ExecuteSql(site.connection(),
                 "CREATE TABLE tblSettingsMemo (Name NVARCHAR(255) PRIMARY KEY NOT NULL, "
                 "StringValue TEXT)",
                 &error, kCreateErrorSize) &&
      ExecuteSql(site.connection(), "CREATE UNIQUE INDEX idxName ON tblSettingsMemo (Name ASC)",
                 &error, kCreateErrorSize)) {
    return;
  }
  site.SetError("Error creating tblSettingsMemo table: " + error);
}

bool Store(CSite& site, std::string_view operation, SettingsTable table, std::string_view key,
           const com::Variant& value) {
  DatabaseLockGuard lock(site.database(), operation);
  if (table == SettingsTable::kMemo) CreateMemoTableWhenMissing(site);
  try {
    if (UpdateSetting(site.connection(), table, key, value)) return true;
  } catch (const db::Error& e) {
    site.SetError(e.description());
    return false;
  }
  std::string error;
  if (InsertSetting(site.connection(), table, key, value, error, kInsertErrorSize)) return true;
  site.Trace((table == SettingsTable::kReal ? "Error adding real parameter: "
                                            : "Error adding parameter: ") +
             error);
  return false;
}

std::optional<com::Variant> Read(CSite& site, std::string_view operation, SettingsTable table,
                                 std::string_view key) {
  DatabaseLockGuard lock(site.database(), operation);
  return ReadSetting(site.connection(), table, key);
}

}  // namespace

bool CSite::GetIntegerParameter(std::string_view key, std::int32_t& value) {
  auto stored = Read(*this, "GetIntegerParameter", SettingsTable::kInteger, key);
  if (!stored) return false;
  value = stored->ToInt32();
  return true;
}

bool CSite::GetRealParameter(std::string_view key, double& value) {
  auto stored = Read(*this, "GetRealParameter", SettingsTable::kReal, key);
  if (!stored) return false;
  value = stored->ToDouble();
  return true;
}

bool CSite::GetDateParameter(std::string_view key, TimeValue& value) {
  auto stored = Read(*this, "GetDateParameter", SettingsTable::kDate, key);
  if (!stored) return false;
  value = DateFieldValue(*stored);
  return true;
}

bool CSite::GetStringParameter(std::string_view key, std::string& value, std::size_t size) {
  auto stored = Read(*this, "GetStringParameter", SettingsTable::kString, key);
  if (!stored) return false;
  value = TextFieldValue(*stored, size);
  return true;
}

bool CSite::GetMemoParameter(std::string_view key, std::string& value) {
  DatabaseLockGuard lock(database_, "GetMemoParameter");
  value.clear();
  CreateMemoTableWhenMissing(*this);
  auto stored = ReadSetting(connection(), SettingsTable::kMemo, key);
  if (!stored) return false;
  value = stored->ToString();
  return true;
}

bool CSite::StoreIntegerParameter(std::string_view key, std::int32_t value) {
  return Store(*this, "StoreIntegerParameter", SettingsTable::kInteger, key, com::Variant(value));
}

bool CSite::StoreRealParameter(std::string_view key, double value) {
  return Store(*this, "StoreRealParameter", SettingsTable::kReal, key, com::Variant(value));
}

bool CSite::StoreDateParameter(std::string_view key, TimeValue value) {
  return Store(*this, "StoreDateParameter", SettingsTable::kDate, key,
               com::Variant(FormatTimeOrDefault(value)));
}

bool CSite::StoreStringParameter(std::string_view key, std::string_view value) {
  return Store(*this, "StoreStringParameter", SettingsTable::kString, key, com::Variant(value));
}

bool CSite::StoreMemoParameter(std::string_view key, std::string_view value) {
  return Store(*this, "StoreMemoParameter", SettingsTable::kMemo, key, com::Variant(value));
}

}  // namespace tf
