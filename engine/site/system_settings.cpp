// The system settings: the settings members of SystemData as rows of the
// projects database. The remote logon name and password are stored
// scrambled, as hexadecimal text.
#include "engine/common/scrambler.h"
#include "engine/common/text.h"
#include "engine/site/projects_database.h"
#include "engine/store/field_values.h"
#include "engine/store/settings_table.h"
#include "engine/store/system_data.h"

namespace tf {

namespace {

constexpr std::size_t kInsertErrorSize = 500;
constexpr std::size_t kHomePageSize = 200;
constexpr std::size_t kCredentialSize = 100;
// Two hexadecimal digits per byte of a credential.
constexpr std::size_t kStoredCredentialSize = 2 * (kCredentialSize - 1) + 1;

std::string ScrambledHex(std::string_view plain) {
  std::string bytes(plain);
  ScrambleBytes(bytes.data(), bytes.size());
  return BytesToHex(bytes);
}

std::string Unscrambled(std::string_view hex) {
  std::string bytes;
  HexToBytes(hex, bytes, kCredentialSize);
  UnscrambleBytes(bytes.data(), bytes.size());
  return bytes;
}

bool Store(db::Connection* connection, SettingsTable table, std::string_view key,
           const com::Variant& value) {
  try {
    if (UpdateSetting(connection, table, key, value)) return true;
  } catch (const db::Error&) {
    // As though the row were missing: the insert is tried.
  }
  std::string error;
  return InsertSetting(connection, table, key, value, error, kInsertErrorSize);
}

}  // namespace

bool CProjectsDatabase::GetSettingInteger(std::string_view key, std::int32_t& value) {
  auto stored = ReadSetting(connection(), SettingsTable::kInteger, key);
  if (!stored) return false;
  value = stored->ToInt32();
  return true;
}

bool CProjectsDatabase::GetSettingString(std::string_view key, std::string& value,
                                         std::size_t size) {
  auto stored = ReadSetting(connection(), SettingsTable::kString, key);
  if (!stored) return false;
  value = TextFieldValue(*stored, size);
  return true;
}

bool CProjectsDatabase::StoreSettingInteger(std::string_view key, std::int32_t value) {
  return Store(connection(), SettingsTable::kInteger, key, com::Variant(value));
}

bool CProjectsDatabase::StoreSettingString(std::string_view key, std::string_view value) {
  return Store(connection(), SettingsTable::kString, key, com::Variant(value));
}

bool CProjectsDatabase::LoadSystemSettings() {
  CSystemData& system = SystemData;
  std::int32_t value = 0;
  GetSettingInteger("RunInSysTray", value);
  system.RunInSysTray = value != 0;
  GetSettingInteger("RunPriority", system.RunPriority);
  GetSettingInteger("MaxAnalyses", system.MaxAnalyses);
  GetSettingInteger("MaxDomainThreads", system.MaxDomainThreads);
  GetSettingInteger("DefaultSessionTimelimit", system.DefaultSessionTimelimit);
  GetSettingString("DefaultHomePage", system.DefaultHomePage, kHomePageSize);
  value = 0;
  GetSettingInteger("DefDateFormat", value);
  system.DefDateFormat = value;
  for (auto [key, member] : {std::pair{"RemoteLogonName", &system.RemoteLogonName},
                             std::pair{"RemotePassword", &system.RemotePassword}}) {
    std::string stored;
    GetSettingString(key, stored, kStoredCredentialSize);
    *member = Unscrambled(stored);
  }
  value = 0;
  GetSettingInteger("AllowRemoteAccess", value);
  system.AllowRemoteAccess = value != 0;
  return true;
}

bool CProjectsDatabase::StoreSystemSettings() {
  const CSystemData& system = SystemData;
  StoreSettingInteger("RunInSysTray", system.RunInSysTray ? 1 : 0);
  StoreSettingInteger("RunPriority", system.RunPriority);
  StoreSettingInteger("MaxAnalyses", system.MaxAnalyses);
  StoreSettingInteger("MaxDomainThreads", system.MaxDomainThreads);
  StoreSettingInteger("DefaultSessionTimelimit", system.DefaultSessionTimelimit);
  StoreSettingString("DefaultHomePage", system.DefaultHomePage);
  StoreSettingInteger("DefDateFormat", system.DefDateFormat);
  StoreSettingString("RemoteLogonName", ScrambledHex(system.RemoteLogonName));
  StoreSettingString("RemotePassword", ScrambledHex(system.RemotePassword));
  StoreSettingInteger("AllowRemoteAccess", system.AllowRemoteAccess ? 1 : 0);
  return true;
}

}  // namespace tf
