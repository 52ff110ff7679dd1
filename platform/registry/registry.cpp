#include "platform/registry/registry.h"

#include "platform/registry/registry_store.h"

#include <functional>

namespace tf::registry {
namespace {

// Rights that change the registry; opening a key with any of them needs a
// writable registry file.
constexpr std::uint32_t kChangeRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | 0x10000 /* delete */ |
                                        0x40000 /* write DAC */ | 0x80000 /* write owner */;

// The stored key at `path` (an open key's path): ERROR_KEY_DELETED when it
// is gone. A root that was never stored is empty.
Status FindOpenKey(KeyTree& tree, const std::string& path, StoredKey** key) {
  KeyPath parsed;
  Status status = ParseKeyPath(path, &parsed);
  if (status != ERROR_SUCCESS) return status;
  auto it = tree.find(parsed.folded);
  if (it == tree.end()) {
    if (!parsed.is_root) return ERROR_KEY_DELETED;
    it = tree.emplace(parsed.folded, StoredKey{parsed.display, {}}).first;
  }
  *key = &it->second;
  return ERROR_SUCCESS;
}

// Loads the registry and finds the open key in it.
Status ReadOpenKey(const std::string& path, KeyTree* tree, StoredKey** key) {
  Status status = LoadRegistry(tree);
  if (status != ERROR_SUCCESS) return status;
  return FindOpenKey(*tree, path, key);
}

// Changes the stored key at `path` (an open key's path) under the lock.
Status EditOpenKey(const std::string& path, const std::function<Status(StoredKey&)>& edit) {
  return EditRegistry([&](KeyTree& tree) {
    StoredKey* key = nullptr;
    Status status = FindOpenKey(tree, path, &key);
    return status == ERROR_SUCCESS ? edit(*key) : status;
  });
}

Status CheckWritable(Access access) {
  if ((access & kChangeRights) != 0 && !RegistryWritable()) return ERROR_ACCESS_DENIED;
  return ERROR_SUCCESS;
}

}  // namespace

Status Key::Check(Access rights) const {
  if (!is_open()) return ERROR_INVALID_PARAMETER;
  return (access_ & rights) == rights ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

Status Key::Open(std::string_view path, Access access, Key* key) {
  KeyPath parsed;
  Status status = ParseKeyPath(path, &parsed);
  if (status == ERROR_SUCCESS) status = CheckWritable(access);
  if (status != ERROR_SUCCESS) return status;
  KeyTree tree;
  status = LoadRegistry(&tree);
  if (status != ERROR_SUCCESS) return status;
  auto it = tree.find(parsed.folded);
  if (it == tree.end() && !parsed.is_root) return ERROR_FILE_NOT_FOUND;
  *key = Key(it == tree.end() ? parsed.display : it->second.path, access);
  return ERROR_SUCCESS;
}

Status Key::Create(std::string_view path, Access access, Key* key, bool* created) {
  KeyPath parsed;
  Status status = ParseKeyPath(path, &parsed);
  if (status == ERROR_SUCCESS) status = CheckWritable(access);
  if (status != ERROR_SUCCESS) return status;
  std::string stored_path;
  bool is_new = false;
  status = EditRegistry([&](KeyTree& tree) {
    is_new = !tree.contains(parsed.folded);
    stored_path = AddKey(tree, parsed).path;
    return ERROR_SUCCESS;
  });
  if (status != ERROR_SUCCESS) return status;
  if (created) *created = is_new;
  *key = Key(stored_path, access);
  return ERROR_SUCCESS;
}

Status Key::OpenSubKey(std::string_view subkey, Access access, Key* key) const {
  if (!is_open()) return ERROR_INVALID_PARAMETER;
  return Open(JoinKeyPath(path_, subkey), access, key);
}

Status Key::CreateSubKey(std::string_view subkey, Access access, Key* key, bool* created) const {
  Status status = Check(KEY_CREATE_SUB_KEY);
  if (status != ERROR_SUCCESS) return status;
  return Create(JoinKeyPath(path_, subkey), access, key, created);
}

Status Key::QueryValue(std::string_view name, ValueType* type, std::string* data,
                       std::size_t max_bytes) const {
  KeyTree tree;
  StoredKey* key = nullptr;
  Status status = Check(KEY_QUERY_VALUE);
  if (status == ERROR_SUCCESS) status = ReadOpenKey(path_, &tree, &key);
  if (status != ERROR_SUCCESS) return status;
  StoredValue* value = FindValue(*key, name);
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  if (type) *type = value->type;
  data->clear();
  if (value->data.size() > max_bytes) return ERROR_MORE_DATA;
  *data = std::move(value->data);
  return ERROR_SUCCESS;
}

Status Key::QueryString(std::string_view name, std::string* text, std::size_t max_bytes) const {
  return QueryValue(name, nullptr, text, max_bytes);
}

Status Key::QueryDword(std::string_view name, std::uint32_t* value) const {
  ValueType type = REG_NONE;
  std::string data;
  Status status = QueryValue(name, &type, &data);
  if (status != ERROR_SUCCESS) return status;
  std::optional<std::uint32_t> n = DwordValue(data);
  if (type != REG_DWORD || !n) return ERROR_UNSUPPORTED_TYPE;
  *value = *n;
  return ERROR_SUCCESS;
}

Status Key::SetValue(std::string_view name, ValueType type, std::string_view data) const {
  Status status = Check(KEY_SET_VALUE);
  if (status != ERROR_SUCCESS) return status;
  return EditOpenKey(path_, [&](StoredKey& key) {
    if (StoredValue* value = FindValue(key, name)) {
      value->type = type;
      value->data = std::string(data);
    } else {
      key.values.push_back(StoredValue{std::string(name), type, std::string(data)});
    }
    return ERROR_SUCCESS;
  });
}

Status Key::SetString(std::string_view name, std::string_view text) const {
  return SetValue(name, REG_SZ, text);
}

Status Key::SetDword(std::string_view name, std::uint32_t value) const {
  return SetValue(name, REG_DWORD, DwordBytes(value));
}

Status Key::DeleteValue(std::string_view name) const {
  Status status = Check(KEY_SET_VALUE);
  if (status != ERROR_SUCCESS) return status;
  return EditOpenKey(path_, [&](StoredKey& key) {
    return EraseValue(key, name) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
}

Status Key::DeleteSubKey(std::string_view subkey) const {
  if (subkey.empty()) return ERROR_INVALID_PARAMETER;
  KeyPath parsed;
  Status status = Check(KEY_SET_VALUE);
  if (status == ERROR_SUCCESS) status = ParseKeyPath(JoinKeyPath(path_, subkey), &parsed);
  if (status != ERROR_SUCCESS) return status;
  return EditRegistry([&](KeyTree& tree) {
    auto first = tree.find(parsed.folded);
    if (first == tree.end()) return ERROR_FILE_NOT_FOUND;
    // The subtree: every key whose path starts with the key's and a backslash.
    std::string prefix = parsed.folded + '\\';
    tree.erase(first);
    for (auto it = tree.lower_bound(prefix); it != tree.end() && it->first.starts_with(prefix);) {
      it = tree.erase(it);
    }
    return ERROR_SUCCESS;
  });
}

Status Key::EnumSubKeys(std::vector<std::string>* names) const {
  KeyTree tree;
  StoredKey* key = nullptr;
  Status status = Check(KEY_ENUMERATE_SUB_KEYS);
  if (status == ERROR_SUCCESS) status = ReadOpenKey(path_, &tree, &key);
  if (status != ERROR_SUCCESS) return status;
  names->clear();
  std::string prefix = FoldCase(path_) + '\\';
  for (auto it = tree.lower_bound(prefix); it != tree.end() && it->first.starts_with(prefix); ++it) {
    if (it->first.find('\\', prefix.size()) == std::string::npos) {
      names->push_back(it->second.path.substr(prefix.size()));
    }
  }
  return ERROR_SUCCESS;
}

Status Key::EnumValues(std::vector<std::string>* names) const {
  KeyTree tree;
  StoredKey* key = nullptr;
  Status status = Check(KEY_QUERY_VALUE);
  if (status == ERROR_SUCCESS) status = ReadOpenKey(path_, &tree, &key);
  if (status != ERROR_SUCCESS) return status;
  names->clear();
  for (const StoredValue& value : key->values) names->push_back(value.name);
  return ERROR_SUCCESS;
}

}  // namespace tf::registry
