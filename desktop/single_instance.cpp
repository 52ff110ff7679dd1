#include "desktop/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>

#include "engine/common/path.h"

namespace tf::desktop {

namespace {

constexpr const char* kLockFileName = "Tallyfox.lock";
constexpr char kRaiseRequest = 'R';

// An abstract socket address (leading zero byte): no file to leave behind,
// and no limit on the folder's path length.
sockaddr_un SocketAddress(const std::string& name, socklen_t& length) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::size_t size = std::min(name.size(), sizeof address.sun_path - 1);
  std::memcpy(address.sun_path + 1, name.data(), size);
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + size);
  return address;
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

SingleInstance::SingleInstance(const std::string& folder) {
  std::string lock_path = JoinPath(folder, kLockFileName);
  socket_name_ = "tallyfox-console-" + std::to_string(std::hash<std::string>()(lock_path));
  int fd = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return;
  }
  lock_fd_ = fd;
  listen_fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listen_fd_ < 0) return;
  socklen_t length = 0;
  sockaddr_un address = SocketAddress(socket_name_, length);
  if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listen_fd_, 4) != 0) {
    close(listen_fd_);
    listen_fd_ = -1;
  }
}

SingleInstance::~SingleInstance() {
  if (listen_fd_ >= 0) close(listen_fd_);
  if (lock_fd_ >= 0) close(lock_fd_);  // releases the lock
}

bool SingleInstance::AskFirstToRaise() const {
  Descriptor fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (fd.get() < 0) return false;
  socklen_t length = 0;
  sockaddr_un address = SocketAddress(socket_name_, length);
  if (connect(fd.get(), reinterpret_cast<sockaddr*>(&address), length) != 0) return false;
  return send(fd.get(), &kRaiseRequest, 1, MSG_NOSIGNAL) == 1;
}

bool SingleInstance::TakeRaiseRequest() {
  if (listen_fd_ < 0) return false;
  bool asked = false;
  for (;;) {
    Descriptor client(accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC));
    if (client.get() < 0) return asked;
    // The request is one byte; a connection is enough to count it.
    asked = true;
  }
}

}  // namespace tf::desktop
