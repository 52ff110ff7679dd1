#include "engine/common/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/common/path.h"

namespace tf {

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
