// The machine's registry: a tree of keys holding named, typed values, shared
// by every Tallyfox program and the component libraries.
//
// Keys are addressed by paths in their Windows form, a root name followed by
// key names joined by backslashes:
//   HKEY_LOCAL_MACHINE\SOFTWARE\Tallyfox
//   HKEY_CLASSES_ROOT\CLSID\{6E460070-7F55-4A05-A493-BB45EFC284B7}
// Root names may be abbreviated (HKLM, HKCR, HKCU, HKU). Key and value names
// are compared without regard to case and keep the case they were created
// with. A key's default value is the value with the empty name.
//
// The whole registry is one text file, RegistryFilePath(). Every call reads
// the file afresh, so a change made by another process is seen at once.
// Every change is a locked read-modify-write that replaces the file
// atomically; several processes may change it at the same time.
//
// Results are the Windows status numbers, so code that tests for them keeps
// its meaning.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace tf::registry {

using Status = long;
inline constexpr Status ERROR_SUCCESS = 0;
inline constexpr Status ERROR_FILE_NOT_FOUND = 2;       // no such key or value
inline constexpr Status ERROR_ACCESS_DENIED = 5;        // the file cannot be written, or the
                                                        // key was opened without the right
inline constexpr Status ERROR_INVALID_PARAMETER = 87;   // malformed path or name
inline constexpr Status ERROR_MORE_DATA = 234;          // value longer than the caller allows
inline constexpr Status ERROR_BADDB = 1009;             // the registry file cannot be parsed
inline constexpr Status ERROR_KEY_DELETED = 1018;       // the open key was deleted meanwhile
inline constexpr Status ERROR_UNSUPPORTED_TYPE = 1630;  // typed read of a value of another type

// Value types, numbered as on Windows. Other numbers are kept as given.
enum ValueType : std::uint32_t {
  REG_NONE = 0,
  REG_SZ = 1,      // text: its bytes, without a terminator
  REG_BINARY = 3,  // raw bytes
  REG_DWORD = 4,   // 32-bit integer: four bytes, little-endian
};

// Access rights of an open key, with the Windows numbers. A key opened with
// any right to change it can be opened only when the registry file can be
// written, so a caller without write rights reads nothing through it.
using Access = std::uint32_t;
inline constexpr Access KEY_QUERY_VALUE = 0x0001;
inline constexpr Access KEY_SET_VALUE = 0x0002;
inline constexpr Access KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr Access KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr Access KEY_READ = 0x20019;
inline constexpr Access KEY_WRITE = 0x20006;
inline constexpr Access KEY_ALL_ACCESS = 0xF003F;

inline constexpr std::string_view HKEY_CLASSES_ROOT = "HKEY_CLASSES_ROOT";
inline constexpr std::string_view HKEY_CURRENT_USER = "HKEY_CURRENT_USER";
inline constexpr std::string_view HKEY_LOCAL_MACHINE = "HKEY_LOCAL_MACHINE";
inline constexpr std::string_view HKEY_USERS = "HKEY_USERS";

inline constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

// The registry file: $TALLYFOX_REGISTRY when set and not empty, else
// /etc/tallyfox/registry. Read at every call.
std::string RegistryFilePath();

// parent + "\" + child.
std::string JoinKeyPath(std::string_view parent, std::string_view child);

// An open key: its path and the rights it was opened with. The key's
// contents are read from the file at each call; a Key stays valid (and
// reports ERROR_KEY_DELETED) when another process deletes the key.
class Key {
 public:
  Key() = default;

  // Opens an existing key. Root keys always exist.
  static Status Open(std::string_view path, Access access, Key* key);
  // Opens the key, creating it and its missing parents; *created (when
  // given) tells whether the key was new.
  static Status Create(std::string_view path, Access access, Key* key, bool* created = nullptr);

  bool is_open() const { return !path_.empty(); }
  // The key's path with a full root name and the names as stored.
  const std::string& path() const { return path_; }
  void Close() { path_.clear(); }

  Status OpenSubKey(std::string_view subkey, Access access, Key* key) const;
  Status CreateSubKey(std::string_view subkey, Access access, Key* key,
                      bool* created = nullptr) const;

  // Reads a value as it is stored. A value longer than max_bytes gives
  // ERROR_MORE_DATA with *type set and *data empty.
  Status QueryValue(std::string_view name, ValueType* type, std::string* data,
                    std::size_t max_bytes = kNoLimit) const;
  // The value's bytes as text, whatever its type (as a reader that does not
  // check the type sees it).
  Status QueryString(std::string_view name, std::string* text,
                     std::size_t max_bytes = kNoLimit) const;
  // A REG_DWORD value; any other type or size gives ERROR_UNSUPPORTED_TYPE.
  Status QueryDword(std::string_view name, std::uint32_t* value) const;

  Status SetValue(std::string_view name, ValueType type, std::string_view data) const;
  Status SetString(std::string_view name, std::string_view text) const;
  Status SetDword(std::string_view name, std::uint32_t value) const;

  Status DeleteValue(std::string_view name) const;
  // Deletes the subkey with everything below it.
  Status DeleteSubKey(std::string_view subkey) const;

  // Names of the direct subkeys, in order of their names without regard to
  // case; names of the values in the order they were first set.
  Status EnumSubKeys(std::vector<std::string>* names) const;
  Status EnumValues(std::vector<std::string>* names) const;

 private:
  Key(std::string path, Access access) : path_(std::move(path)), access_(access) {}
  // ERROR_SUCCESS when the key is open with all of `rights`.
  Status Check(Access rights) const;

  std::string path_;
  Access access_ = KEY_READ;
};

}  // namespace tf::registry
