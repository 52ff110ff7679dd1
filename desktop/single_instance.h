// One console per install folder: the first holds a lock file there and
// listens on a local socket named after the folder; a second one finds the
// lock taken, asks the first to raise its window and ends. So two consoles
// never schedule the same sites.
#pragma once

#include <string>

namespace tf::desktop {

class SingleInstance {
 public:
  // Takes the lock of the folder, or finds it held by another process.
  explicit SingleInstance(const std::string& folder);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  bool first() const { return lock_fd_ >= 0; }
  // From a second instance: asks the first to show its window; false when
  // it could not be reached.
  bool AskFirstToRaise() const;
  // In the first instance, polled: true when another instance asked since
  // the last call. Never blocks.
  bool TakeRaiseRequest();

 private:
  std::string socket_name_;
  int lock_fd_ = -1;
  int listen_fd_ = -1;
};

}  // namespace tf::desktop
