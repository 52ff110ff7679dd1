#include "engine/store/site_file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace tf {

SiteFileLock::~SiteFileLock() {
  if (fd_ >= 0) close(fd_);
}

namespace {

// The file descriptor holding the lock, or -1.
int LockFile(const std::string& path, bool wait) {
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  int rc;
  do {
    rc = flock(fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

bool SiteFileLock::Acquire(const std::string& path, bool wait) {
  std::unique_lock<std::mutex> guard(mutex_);
  while (acquiring_) {
    if (!wait) return false;
    acquired_.wait(guard);
  }
  if (holders_ > 0) {
    ++holders_;
    return true;
  }
  if (path.empty()) return false;
  acquiring_ = true;
  guard.unlock();  // the wait for another process must not stall this one
  int fd = LockFile(path, wait);
  guard.lock();
  acquiring_ = false;
  if (fd >= 0) {
    fd_ = fd;
    holders_ = 1;
  }
  acquired_.notify_all();
  return fd >= 0;
}

void SiteFileLock::Release() {
  std::lock_guard<std::mutex> guard(mutex_);
  if (holders_ == 0 || --holders_ > 0) return;
  close(fd_);  // closing releases the lock
  fd_ = -1;
}

}  // namespace tf
