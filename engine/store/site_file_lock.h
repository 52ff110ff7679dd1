// A lock on one file shared by every process on the machine, held in this
// process by any number of nested users: the first takes it, the last
// releases it. The console and the service take the site's ".ldb" file this
// way so that they never write one site at the same time.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

namespace tf {

class SiteFileLock {
 public:
  SiteFileLock() = default;
  ~SiteFileLock();
  SiteFileLock(const SiteFileLock&) = delete;
  SiteFileLock& operator=(const SiteFileLock&) = delete;

  // Takes the lock of the file at path (created when missing). With wait,
  // blocks until another process releases it; without, fails at once when
  // another process holds it. False also when the file cannot be opened.
  bool Acquire(const std::string& path, bool wait);
  void Release();

 private:
  std::mutex mutex_;
  std::condition_variable acquired_;
  int fd_ = -1;
  int holders_ = 0;
  // A thread of this process is waiting for the file; the others wait for
  // it instead of opening the file a second time.
  bool acquiring_ = false;
};

}  // namespace tf
