// The few file-system services log reading needs, kept apart from the
// reading logic: listing a folder, facts about a file, a read-only handle
// that never blocks the writing web server, and the after-analysis file
// operations, which never replace an existing file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/common/time_value.h"

namespace tf {

// Which file this is, independent of its name: survives renames, and a
// replaced file gets a new identity.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
  bool known() const { return device != 0 || inode != 0; }
};

struct FileFacts {
  TimeValue write_time = 0;  // local time, whole seconds
  std::int64_t size = 0;
  FileIdentity identity;
  bool regular = false;
};

// False when the file cannot be examined.
bool GetFileFacts(const std::string& path, FileFacts& facts);

// Names of the entries of a folder ("." and ".." left out), sorted by
// their bytes compared without regard to case, so that equal file times
// resolve the same way on every run. Empty when the folder cannot be read.
std::vector<std::string> ListFolder(const std::string& folder);

// A file opened for reading only; other processes keep writing it.
class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // 0 on success, else the file error code (see FileErrorCause).
  int Open(const std::string& path);
  void Close();
  bool is_open() const { return fd_ >= 0; }
  // Bytes read, 0 at the end, -1 on a read error.
  long Read(char* buffer, size_t size);
  bool Seek(std::int64_t offset);
  FileIdentity Identity() const;
  std::int64_t Size() const;

 private:
  int fd_ = -1;
};

// The system's file error codes 0-14 for an errno value.
int FileErrorFromErrno(int error);
// The cause text of a file error code; "Open error code = %d" for others.
std::string FileErrorCause(int code);

bool RemoveFile(const std::string& path);
// Renames or moves a file without ever replacing an existing one; across
// file systems the file is copied (times and mode kept) and the original
// removed only once the copy is complete.
bool MoveFileNoReplace(const std::string& from, const std::string& to);

}  // namespace tf
