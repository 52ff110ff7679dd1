#include "platform/registry/registry_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace tf::registry {
namespace {

constexpr std::string_view kDefaultFile = "/etc/tallyfox/registry";
constexpr std::size_t kMaxKeyNameLength = 255;

struct RootName {
  std::string_view name;
  std::string_view abbreviation;
};
constexpr RootName kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKCR"},
    {HKEY_CURRENT_USER, "HKCU"},
    {HKEY_LOCAL_MACHINE, "HKLM"},
    {HKEY_USERS, "HKU"},
    {"HKEY_CURRENT_CONFIG", "HKCC"},
};

bool IsControlByte(unsigned char c) { return c < 0x20 || c == 0x7f; }

bool HasControlByte(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](unsigned char c) { return IsControlByte(c); });
}

// --- text format ---------------------------------------------------------

void AppendQuoted(std::string& out, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  out += '"';
  for (unsigned char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (IsControlByte(c)) {
          out += "\\x";
          out += kHex[c >> 4];
          out += kHex[c & 15];
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted text at the start of `in`, advancing past it.
std::optional<std::string> TakeQuoted(std::string_view& in) {
  if (in.empty() || in[0] != '"') return std::nullopt;
  std::string text;
  std::size_t i = 1;
  while (i < in.size() && in[i] != '"') {
    char c = in[i++];
    if (c != '\\') {
      text += c;
      continue;
    }
    if (i >= in.size()) return std::nullopt;
    char e = in[i++];
    switch (e) {
      case '\\': text += '\\'; break;
      case '"': text += '"'; break;
      case 'n': text += '\n'; break;
      case 'r': text += '\r'; break;
      case 't': text += '\t'; break;
      case 'x': {
        if (i + 2 > in.size()) return std::nullopt;
        int high = HexDigit(in[i]), low = HexDigit(in[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        text += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default: return std::nullopt;
    }
  }
  if (i >= in.size()) return std::nullopt;
  in.remove_prefix(i + 1);
  return text;
}

void AppendHexBytes(std::string& out, std::string_view data) {
  char buffer[4];
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, i ? ",%02x" : "%02x", static_cast<unsigned char>(data[i]));
    out += buffer;
  }
}

std::optional<std::string> ParseHexBytes(std::string_view text) {
  std::string data;
  while (!text.empty()) {
    if (text.size() < 2) return std::nullopt;
    int high = HexDigit(text[0]), low = HexDigit(text[1]);
    if (high < 0 || low < 0) return std::nullopt;
    data += static_cast<char>(high * 16 + low);
    text.remove_prefix(2);
    if (!text.empty()) {
      if (text[0] != ',' || text.size() == 1) return std::nullopt;
      text.remove_prefix(1);
    }
  }
  return data;
}

void AppendValue(std::string& out, const StoredValue& value) {
  if (value.name.empty()) {
    out += '@';
  } else {
    AppendQuoted(out, value.name);
  }
  out += '=';
  if (value.type == REG_SZ) {
    out += "sz:";
    AppendQuoted(out, value.data);
  } else if (std::optional<std::uint32_t> n = DwordValue(value.data); value.type == REG_DWORD && n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "dword:%08x", *n);
    out += buffer;
  } else {
    out += value.type == REG_BINARY ? "hex:" : "hex(" + std::to_string(value.type) + "):";
    AppendHexBytes(out, value.data);
  }
  out += '\n';
}

std::optional<StoredValue> ParseValueLine(std::string_view line) {
  StoredValue value;
  if (!line.empty() && line[0] == '@') {
    line.remove_prefix(1);
  } else {
    std::optional<std::string> name = TakeQuoted(line);
    if (!name || name->empty()) return std::nullopt;
    value.name = std::move(*name);
  }
  if (line.empty() || line[0] != '=') return std::nullopt;
  line.remove_prefix(1);

  if (line.starts_with("sz:")) {
    line.remove_prefix(3);
    std::optional<std::string> text = TakeQuoted(line);
    if (!text || !line.empty()) return std::nullopt;
    value.type = REG_SZ;
    value.data = std::move(*text);
  } else if (line.starts_with("dword:")) {
    line.remove_prefix(6);
    if (line.size() != 8) return std::nullopt;
    std::uint32_t n = 0;
    for (char c : line) {
      int digit = HexDigit(c);
      if (digit < 0) return std::nullopt;
      n = n * 16 + static_cast<std::uint32_t>(digit);
    }
    value.type = REG_DWORD;
    value.data = DwordBytes(n);
  } else {
    if (line.starts_with("hex:")) {
      value.type = REG_BINARY;
      line.remove_prefix(4);
    } else if (line.starts_with("hex(")) {
      std::size_t close = line.find("):");
      if (close == std::string_view::npos || close == 4) return std::nullopt;
      std::uint32_t type = 0;
      for (char c : line.substr(4, close - 4)) {
        if (c < '0' || c > '9' || type > 0x0fffffff) return std::nullopt;
        type = type * 10 + static_cast<std::uint32_t>(c - '0');
      }
      value.type = static_cast<ValueType>(type);
      line.remove_prefix(close + 2);
    } else {
      return std::nullopt;
    }
    std::optional<std::string> data = ParseHexBytes(line);
    if (!data) return std::nullopt;
    value.data = std::move(*data);
  }
  return value;
}

// --- the file ------------------------------------------------------------

std::string LockFilePath(const std::string& file) { return file + ".lock"; }

// An open lock file holding a flock, released on destruction.
class FileLock {
 public:
  FileLock() = default;
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool Acquire(const std::string& path, int open_flags, int operation) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = ::open(path.c_str(), open_flags | O_CLOEXEC, 0644);
    if (fd_ < 0) return false;
    while (::flock(fd_, operation) != 0) {
      if (errno != EINTR) return false;
    }
    return true;
  }

 private:
  int fd_ = -1;
};

// Reads the whole file. ERROR_FILE_NOT_FOUND when it does not exist.
Status ReadWholeFile(const std::string& path, std::string* text, mode_t* mode) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
  struct stat info;
  if (mode && ::fstat(fd, &info) == 0) *mode = info.st_mode & 07777;
  text->clear();
  char buffer[8192];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return ERROR_ACCESS_DENIED;
    }
    if (n == 0) break;
    text->append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return ERROR_SUCCESS;
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Writes a temporary file beside the target and renames it over the target,
// so that a reader sees either the old or the new file, never a part.
Status ReplaceFile(const std::string& path, std::string_view text, mode_t mode) {
  std::string temp = path + ".tmp";  // only the exclusive lock holder writes it
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return ERROR_ACCESS_DENIED;
  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fdatasync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return ERROR_ACCESS_DENIED;
  }
  return ERROR_SUCCESS;
}

}  // namespace

std::string RegistryFilePath() {
  const char* value = std::getenv("TALLYFOX_REGISTRY");
  return value && *value ? std::string(value) : std::string(kDefaultFile);
}

std::string JoinKeyPath(std::string_view parent, std::string_view child) {
  std::string path(parent);
  if (!child.empty()) {
    if (!path.empty()) path += '\\';
    path += child;
  }
  return path;
}

std::string FoldCase(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

std::string DwordBytes(std::uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xff);
  return bytes;
}

std::optional<std::uint32_t> DwordValue(std::string_view data) {
  if (data.size() != 4) return std::nullopt;
  std::uint32_t n = 0;
  for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(data[i]);
  return n;
}

StoredValue* FindValue(StoredKey& key, std::string_view name) {
  std::string folded = FoldCase(name);
  for (StoredValue& value : key.values) {
    if (FoldCase(value.name) == folded) return &value;
  }
  return nullptr;
}

bool EraseValue(StoredKey& key, std::string_view name) {
  std::string folded = FoldCase(name);
  return std::erase_if(key.values, [&](const StoredValue& v) { return FoldCase(v.name) == folded; }) > 0;
}

Status ParseKeyPath(std::string_view path, KeyPath* key_path) {
  std::string_view root = path.substr(0, path.find('\\'));
  std::string folded_root = FoldCase(root);
  const RootName* match = nullptr;
  for (const RootName& candidate : kRoots) {
    if (folded_root == FoldCase(candidate.name) || folded_root == FoldCase(candidate.abbreviation)) {
      match = &candidate;
    }
  }
  if (match == nullptr) return ERROR_INVALID_PARAMETER;

  key_path->display = std::string(match->name);
  key_path->is_root = root.size() == path.size();
  std::string_view rest = key_path->is_root ? std::string_view() : path.substr(root.size() + 1);
  if (!key_path->is_root && rest.empty()) return ERROR_INVALID_PARAMETER;
  while (!key_path->is_root) {
    std::string_view name = rest.substr(0, rest.find('\\'));
    if (name.empty() || name.size() > kMaxKeyNameLength || HasControlByte(name)) {
      return ERROR_INVALID_PARAMETER;
    }
    key_path->display += '\\';
    key_path->display += name;
    if (name.size() == rest.size()) break;
    rest.remove_prefix(name.size() + 1);
  }
  key_path->folded = FoldCase(key_path->display);
  return ERROR_SUCCESS;
}

// Adds the key and any missing parents below its root. A new name is
// joined to its parent's path as stored, so a path keeps one spelling.
StoredKey& AddKey(KeyTree& tree, const KeyPath& path) {
  std::size_t end = path.folded.find('\\');
  std::string parent;
  for (;;) {
    std::size_t start = parent.empty() ? 0 : parent.size() + 1;
    StoredKey& key = tree[path.folded.substr(0, end)];
    if (key.path.empty()) key.path = JoinKeyPath(parent, path.display.substr(start, end - start));
    if (end == std::string::npos) return key;
    parent = key.path;
    end = path.folded.find('\\', end + 1);
  }
}

Status ParseRegistry(std::string_view text, KeyTree* tree) {
  tree->clear();
  StoredKey* current = nullptr;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == ';') continue;

    if (line[0] == '[') {
      KeyPath path;
      if (line.back() != ']' || ParseKeyPath(line.substr(1, line.size() - 2), &path) != ERROR_SUCCESS) {
        return ERROR_BADDB;
      }
      current = &AddKey(*tree, path);
      continue;
    }
    std::optional<StoredValue> value = ParseValueLine(line);
    if (!value || current == nullptr) return ERROR_BADDB;
    EraseValue(*current, value->name);
    current->values.push_back(std::move(*value));
  }
  return ERROR_SUCCESS;
}

std::string FormatRegistry(const KeyTree& tree) {
  std::string out = "; Tallyfox registry. Changed by the programs under a lock; edit by hand only\n"
                    "; while none of them runs.\n";
  for (const auto& [folded, key] : tree) {
    out += "\n[";
    out += key.path;
    out += "]\n";
    for (const StoredValue& value : key.values) AppendValue(out, value);
  }
  return out;
}

Status LoadRegistry(KeyTree* tree) {
  std::string path = RegistryFilePath();
  // A reader that cannot create the lock file still reads: the file is only
  // ever replaced whole, so it is consistent without the lock.
  FileLock lock;
  if (!lock.Acquire(LockFilePath(path), O_RDONLY, LOCK_SH)) {
    lock.Acquire(LockFilePath(path), O_RDWR | O_CREAT, LOCK_SH);
  }
  std::string text;
  Status status = ReadWholeFile(path, &text, nullptr);
  if (status == ERROR_FILE_NOT_FOUND) {
    tree->clear();
    return ERROR_SUCCESS;
  }
  if (status != ERROR_SUCCESS) return status;
  return ParseRegistry(text, tree);
}

Status EditRegistry(const std::function<Status(KeyTree&)>& edit) {
  std::string path = RegistryFilePath();
  std::error_code error;
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, error);
  if (error) return ERROR_ACCESS_DENIED;

  FileLock lock;
  if (!lock.Acquire(LockFilePath(path), O_RDWR | O_CREAT, LOCK_EX)) return ERROR_ACCESS_DENIED;
  std::string old_text;
  mode_t mode = 0644;
  Status status = ReadWholeFile(path, &old_text, &mode);
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return status;
  KeyTree tree;
  if (status == ERROR_SUCCESS) {
    // A file that does not parse is left alone rather than rewritten without
    // the parts that could not be read.
    status = ParseRegistry(old_text, &tree);
    if (status != ERROR_SUCCESS) return status;
  }
  status = edit(tree);
  if (status != ERROR_SUCCESS) return status;
  std::string new_text = FormatRegistry(tree);
  if (new_text == old_text) return ERROR_SUCCESS;
  return ReplaceFile(path, new_text, mode);
}

bool RegistryWritable() {
  namespace fs = std::filesystem;
  fs::path file = RegistryFilePath();
  std::error_code error;
  if (fs::exists(file, error)) {
    fs::path folder = file.parent_path();
    if (folder.empty()) folder = ".";
    return ::access(file.c_str(), W_OK) == 0 && ::access(folder.c_str(), W_OK) == 0;
  }
  // The nearest existing ancestor must be a folder we may create entries in.
  fs::path ancestor = file.parent_path();
  while (!ancestor.empty() && !fs::exists(ancestor, error)) {
    if (ancestor == ancestor.parent_path()) break;
    ancestor = ancestor.parent_path();
  }
  if (ancestor.empty()) ancestor = ".";
  return fs::is_directory(ancestor, error) && ::access(ancestor.c_str(), W_OK) == 0;
}

}  // namespace tf::registry
