#include "engine/logs/file_access.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tf {
namespace {

bool LessCaseless(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 'a' + 'A');
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;  // names differing only in case: a fixed order all the same
}

// Copies a regular file to a path that must not exist yet.
bool CopyToNewFile(const std::string& from, const std::string& to) {
  int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat st {};
  if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(in);
    return false;
  }
  int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
  if (out < 0) {
    close(in);
    return false;
  }
  bool ok = true;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ssize_t n = read(in, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ok = false;
      break;
    }
    if (n == 0) break;
    for (ssize_t done = 0; done < n;) {
      ssize_t w = write(out, buffer.data() + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        ok = false;
        break;
      }
      done += w;
    }
    if (!ok) break;
  }
  if (ok) {
    timespec times[2] = {st.st_atim, st.st_mtim};
    futimens(out, times);
    ok = fsync(out) == 0;
  }
  ok = close(out) == 0 && ok;
  close(in);
  if (!ok) unlink(to.c_str());
  return ok;
}

}  // namespace

bool GetFileFacts(const std::string& path, FileFacts& facts) {
  facts = FileFacts{};
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return false;
  facts.write_time = FileTimeToTime(st.st_mtime);
  facts.size = static_cast<std::int64_t>(st.st_size);
  facts.identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  facts.regular = S_ISREG(st.st_mode);
  return true;
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    names.emplace_back(entry->d_name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end(), LessCaseless);
  return names;
}

ReadOnlyFile::~ReadOnlyFile() { Close(); }

int ReadOnlyFile::Open(const std::string& path) {
  Close();
  // Non-blocking, so that a pipe or device under a log's name cannot hang
  // the run; only regular files are read.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return FileErrorFromErrno(errno);
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    int error = S_ISDIR(st.st_mode) ? EISDIR : (S_ISREG(st.st_mode) ? errno : EACCES);
    close(fd);
    return FileErrorFromErrno(error);
  }
  posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  fd_ = fd;
  return 0;
}

void ReadOnlyFile::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

long ReadOnlyFile::Read(char* buffer, size_t size) {
  if (fd_ < 0) return -1;
  for (;;) {
    ssize_t n = read(fd_, buffer, size);
    if (n < 0 && errno == EINTR) continue;
    return static_cast<long>(n);
  }
}

bool ReadOnlyFile::Seek(std::int64_t offset) {
  return fd_ >= 0 && lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == offset;
}

FileIdentity ReadOnlyFile::Identity() const {
  struct stat st {};
  if (fd_ < 0 || fstat(fd_, &st) != 0) return {};
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::int64_t ReadOnlyFile::Size() const {
  struct stat st {};
  if (fd_ < 0 || fstat(fd_, &st) != 0) return 0;
  return static_cast<std::int64_t>(st.st_size);
}

int FileErrorFromErrno(int error) {
  switch (error) {
    case 0: return 0;
    case ENOENT: return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY: return 5;
    case EBADF: return 6;
    case ESPIPE: return 9;
    case EIO:
    case ENXIO:
    case ENODEV: return 10;
    case EAGAIN: return 11;
    case EDEADLK:
    case ENOLCK: return 12;
    case ENOSPC:
    case EDQUOT: return 13;
    default: return 1;
  }
}

std::string FileErrorCause(int code) {
  static const char* const kCauses[15] = {
      "No error occurred.",
      "An unspecified error occurred.",
      "The file could not be located.",
      "All or part of the path is invalid.",
      "The permitted number of open files was exceeded.",
      "The file could not be accessed.",
      "There was an attempt to use an invalid file handle.",
      "The current working directory cannot be removed.",
      "There are no more directory entries.",
      "There was an error trying to set the file pointer.",
      "There was a hardware error.",
      "SHARE.EXE was not loaded, or a shared region was locked.",
      "There was an attempt to lock a region that was already locked.",
      "The disk is full.",
      "The end of file was reached. ",
  };
  if (code >= 0 && code < 15) return kCauses[code];
  return "Open error code = " + std::to_string(code);
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  int error = errno;
  if (error == EEXIST) return false;
  if (error == EINVAL || error == ENOSYS) {
    // The file system cannot rename without replacing: a hard link fails
    // on an existing target just the same.
    if (link(from.c_str(), to.c_str()) == 0) return unlink(from.c_str()) == 0;
    if (errno != EXDEV && errno != EPERM) return false;
    error = EXDEV;
  }
  if (error != EXDEV) return false;
  if (!CopyToNewFile(from, to)) return false;
  if (unlink(from.c_str()) == 0) return true;
  unlink(to.c_str());  // the original stays; never leave two copies behind
  return false;
}

}  // namespace tf
