#include "engine/common/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/common/path.h"

namespace tf {

int GetFileInfo(const std::string& path, TimeValue* time, std::uint64_t* size) {
  if (time != nullptr) *time = 0;
  if (size != nullptr) *size = 0;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  struct statx info {};
  int rc = statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &info);
  close(fd);
  if (rc != 0 || S_ISDIR(info.stx_mode)) return 0;
  if (time != nullptr) {
    bool born = (info.stx_mask & STATX_BTIME) != 0;
    *time = FileTimeToTime(born ? info.stx_btime.tv_sec : info.stx_ctime.tv_sec);
  }
  if (size != nullptr) *size = info.stx_size;
  return 1;
}

bool IsFileReadable(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  bool is_file = fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
  close(fd);
  return is_file;
}

bool CreateDirectoryChain(const std::string& path) {
  std::string folder = path;
  if (folder.size() > 1 && folder.back() == kPathSeparator) folder.pop_back();
  std::size_t pos = 0;
  while (pos < folder.size() && folder[pos] == kPathSeparator) ++pos;
  while (pos < folder.size()) {
    std::size_t end = folder.find(kPathSeparator, pos);
    if (end == std::string::npos) end = folder.size();
    mkdir(folder.substr(0, end).c_str(), 0777);
    pos = end + 1;
  }
  return true;
}

}  // namespace tf
