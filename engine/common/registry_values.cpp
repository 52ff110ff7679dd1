#include "engine/common/registry_values.h"

#include "engine/common/path.h"
#include "platform/registry/registry.h"

namespace tf {

namespace {

constexpr std::string_view kTallyfoxKey = "SOFTWARE\\Tallyfox";
constexpr std::size_t kDefaultValueSize = 200;
// Paths stand in fields of 300 bytes.
constexpr std::size_t kPathSize = 300;

std::string TallyfoxKeyPath(std::string_view root) {
  return registry::JoinKeyPath(root, kTallyfoxKey);
}

}  // namespace

void WriteInstallPath(std::string_view folder) {
  registry::Key key;
  if (registry::Key::Create(TallyfoxKeyPath(registry::HKEY_LOCAL_MACHINE), registry::KEY_ALL_ACCESS,
                            &key) != registry::ERROR_SUCCESS) {
    return;
  }
  std::string present;
  if (key.QueryString("Path", &present, kDefaultValueSize - 1) == registry::ERROR_SUCCESS) return;
  key.SetString("Path", folder);
}

int GetRegistryValue(std::string_view root, std::string_view name, std::string& out,
                     std::size_t size) {
  out.clear();
  if (size == 0) size = kDefaultValueSize;
  // Reading needs no right to change the key, so that every account can find
  // the install folder.
  registry::Key key;
  if (registry::Key::Open(TallyfoxKeyPath(root), registry::KEY_QUERY_VALUE, &key) !=
      registry::ERROR_SUCCESS) {
    return 0;
  }
  std::string value;
  if (key.QueryString(name, &value, size - 1) != registry::ERROR_SUCCESS) return 0;
  out = std::move(value);
  return 1;
}

int GetRegistryString(std::string_view name, std::string& out, std::size_t size) {
  return GetRegistryValue(registry::HKEY_LOCAL_MACHINE, name, out, size);
}

int SetRegistryString(std::string_view name, std::string_view value) {
  registry::Key key;
  if (registry::Key::Open(TallyfoxKeyPath(registry::HKEY_LOCAL_MACHINE), registry::KEY_SET_VALUE,
                          &key) != registry::ERROR_SUCCESS) {
    return 0;
  }
  return key.SetString(name, value) == registry::ERROR_SUCCESS ? 1 : 0;
}

std::string GetInstallFolder() {
  std::string folder;
  GetRegistryString("Path", folder, kPathSize);
  while (!folder.empty() && static_cast<unsigned char>(folder.back()) <= ' ') folder.pop_back();
  if (folder.empty()) folder = kDefaultInstallFolder;
  return WithTrailingSeparator(folder);
}

std::string InstallFolderPath(std::string_view name) { return JoinPath(GetInstallFolder(), name); }

}  // namespace tf
