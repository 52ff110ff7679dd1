// The registry file behind Key: its in-memory form, its text format, and the
// locked read and read-modify-write of the file.
//
// The text format, one key per section, keys sorted:
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Tallyfox]
//   @=sz:"the default value"
//   "Path"=sz:"/opt/tallyfox"
//   "TallyfoxPort"=dword:000015cb
//   "Blob"=hex:00,7f,ff
//   "Other"=hex(7):61,00
// Quoted texts escape \ " and control bytes (\\ \" \n \r \t \xHH); other
// bytes stand as they are. Lines starting with ';' are comments.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"

namespace tf::registry {

struct StoredValue {
  std::string name;
  ValueType type = REG_NONE;
  std::string data;
};

struct StoredKey {
  std::string path;  // as created: full root name, names in their own case
  std::vector<StoredValue> values;
};

// Keys by folded path (see FoldCase). Every stored key's parents, up to its
// root, are stored too. Roots exist whether stored or not.
using KeyTree = std::map<std::string, StoredKey>;

// ASCII lower case: the comparison key of key paths and value names.
std::string FoldCase(std::string_view text);

// A REG_DWORD value's four little-endian bytes, and back; nothing when the
// data is not four bytes long.
std::string DwordBytes(std::uint32_t value);
std::optional<std::uint32_t> DwordValue(std::string_view data);

// The key's value with `name` (compared without regard to case), or null.
StoredValue* FindValue(StoredKey& key, std::string_view name);
// Removes the key's value with `name`; whether there was one.
bool EraseValue(StoredKey& key, std::string_view name);

// A key path checked and split into its display and folded forms.
struct KeyPath {
  std::string display;
  std::string folded;
  bool is_root = false;
};
// ERROR_INVALID_PARAMETER for an unknown root, an empty name or a name with
// control characters.
Status ParseKeyPath(std::string_view path, KeyPath* key_path);

// Adds the key and its missing parents; returns the key.
StoredKey& AddKey(KeyTree& tree, const KeyPath& path);

Status ParseRegistry(std::string_view text, KeyTree* tree);  // ERROR_BADDB on a bad line
std::string FormatRegistry(const KeyTree& tree);

// Reads the file under a shared lock. A missing file is an empty registry.
Status LoadRegistry(KeyTree* tree);
// Reads the file under an exclusive lock, lets edit change the tree, and
// when edit returns ERROR_SUCCESS and the text changed, replaces the file
// atomically. Missing parent folders are created.
Status EditRegistry(const std::function<Status(KeyTree&)>& edit);
// Whether a change to the registry file could be written.
bool RegistryWritable();

}  // namespace tf::registry
