#include "platform/net/socket.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tf::net {
namespace {

sockaddr_in ToSockaddr(Endpoint endpoint) {
  sockaddr_in in{};
  in.sin_family = AF_INET;
  in.sin_port = htons(static_cast<std::uint16_t>(endpoint.port));
  std::memcpy(&in.sin_addr.s_addr, &endpoint.address, 4);
  return in;
}

Endpoint FromSockaddr(const sockaddr_in& in) {
  Endpoint endpoint;
  std::memcpy(&endpoint.address, &in.sin_addr.s_addr, 4);
  endpoint.port = ntohs(in.sin_port);
  return endpoint;
}

// 0 when the socket is ready for `events`, else ETIMEDOUT or poll's errno.
int WaitFor(int descriptor, short events, int timeout_ms) {
  pollfd wait{descriptor, events, 0};
  int ready;
  do {
    ready = poll(&wait, 1, timeout_ms);
  } while (ready < 0 && errno == EINTR);
  if (ready == 0) return ETIMEDOUT;
  return ready < 0 ? errno : 0;
}

using EndpointQuery = int (*)(int, sockaddr*, socklen_t*);

int QueryEndpoint(EndpointQuery query, const Socket& socket, Endpoint& out) {
  sockaddr_in in{};
  socklen_t length = sizeof in;
  if (query(socket.descriptor(), reinterpret_cast<sockaddr*>(&in), &length) != 0) return errno;
  out = FromSockaddr(in);
  return 0;
}

}  // namespace

Socket& Socket::operator=(Socket&& other) noexcept {
  if (this != &other) {
    Close();
    descriptor_ = other.Release();
  }
  return *this;
}

void Socket::Shutdown() const {
  if (descriptor_ >= 0) shutdown(descriptor_, SHUT_RDWR);
}

void Socket::Close() {
  int descriptor = Release();
  if (descriptor < 0) return;
  shutdown(descriptor, SHUT_RDWR);
  close(descriptor);
}

int Socket::Release() {
  int descriptor = descriptor_;
  descriptor_ = -1;
  return descriptor;
}

int OpenStream(Socket& out) {
  int descriptor = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (descriptor < 0) return errno;
  out = Socket(descriptor);
  return 0;
}

// The connect runs non-blocking so that it cannot hang for the system's long
// default; the socket is blocking again afterwards.
int ConnectWithin(const Socket& socket, Endpoint to, int timeout_ms) {
  const int descriptor = socket.descriptor();
  int flags = fcntl(descriptor, F_GETFL, 0);
  if (flags < 0 || fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) < 0) return errno;
  const sockaddr_in address = ToSockaddr(to);
  int error = 0;
  if (connect(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    error = errno;
    if (error == EINPROGRESS) {
      error = WaitFor(descriptor, POLLOUT, timeout_ms);
      socklen_t length = sizeof error;
      if (error == 0 && getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
        error = errno;
      }
    }
  }
  if (error == 0 && fcntl(descriptor, F_SETFL, flags) < 0) error = errno;
  return error;
}

int Connect(Socket& out, Endpoint to, int timeout_ms) {
  Socket socket;
  if (int error = OpenStream(socket); error != 0) return error;
  if (int error = ConnectWithin(socket, to, timeout_ms); error != 0) return error;
  out = std::move(socket);
  return 0;
}

int Bind(const Socket& socket, Endpoint at) {
  const sockaddr_in address = ToSockaddr(at);
  if (bind(socket.descriptor(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return errno;
  }
  return 0;
}

int StartListening(const Socket& socket, int backlog) {
  return listen(socket.descriptor(), backlog) != 0 ? errno : 0;
}

int Listen(Socket& out, Endpoint at, int backlog) {
  Socket socket;
  if (int error = OpenStream(socket); error != 0) return error;
  if (int error = Bind(socket, at); error != 0) return error;
  if (int error = StartListening(socket, backlog); error != 0) return error;
  out = std::move(socket);
  return 0;
}

int Accept(const Socket& listener, Socket& out, int timeout_ms) {
  if (timeout_ms >= 0) {
    if (int error = WaitFor(listener.descriptor(), POLLIN, timeout_ms); error != 0) return error;
  }
  int descriptor;
  do {
    descriptor = accept4(listener.descriptor(), nullptr, nullptr, SOCK_CLOEXEC);
  } while (descriptor < 0 && errno == EINTR);
  if (descriptor < 0) return errno;
  out = Socket(descriptor);
  return 0;
}

Transfer SendAll(const Socket& socket, std::string_view data) {
  Transfer result;
  while (result.bytes < data.size()) {
    ssize_t n = send(socket.descriptor(), data.data() + result.bytes, data.size() - result.bytes,
                     MSG_NOSIGNAL);
    if (n > 0) {
      result.bytes += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      result.error = n < 0 ? errno : EPIPE;
      break;
    }
  }
  return result;
}

Transfer Receive(const Socket& socket, void* buffer, std::size_t size, int timeout_ms) {
  Transfer result;
  if (timeout_ms >= 0) {
    result.error = WaitFor(socket.descriptor(), POLLIN, timeout_ms);
    if (result.error != 0) return result;
  }
  ssize_t n;
  do {
    n = recv(socket.descriptor(), buffer, size, 0);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    result.error = errno;
  } else {
    result.bytes = static_cast<std::size_t>(n);
  }
  return result;
}

int LocalEndpoint(const Socket& socket, Endpoint& out) {
  return QueryEndpoint(getsockname, socket, out);
}

int PeerEndpoint(const Socket& socket, Endpoint& out) {
  return QueryEndpoint(getpeername, socket, out);
}

void SetKeepAlive(const Socket& socket) {
  int on = 1;
  setsockopt(socket.descriptor(), SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
}

void SetLinger(const Socket& socket, int seconds) {
  linger wait{1, seconds};
  setsockopt(socket.descriptor(), SOL_SOCKET, SO_LINGER, &wait, sizeof wait);
}

void SetSendTimeout(const Socket& socket, int timeout_ms) {
  timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  setsockopt(socket.descriptor(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

std::string FormatIpv4(std::uint32_t address) {
  std::string text;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) text.push_back('.');
    text += std::to_string((address >> (8 * part)) & 0xFF);
  }
  return text;
}

bool ParseIpv4(std::string_view text, std::uint32_t& address) {
  const char* p = text.data();
  const char* const end = p + text.size();
  auto digit_at = [end](const char* q) {
    return q < end && static_cast<unsigned>(static_cast<unsigned char>(*q)) - '0' < 10u;
  };
  std::uint32_t result = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (p == end || *p != '.') return false;
      ++p;
    }
    // One to three digits, written out: every log line starts with one.
    if (!digit_at(p)) return false;
    unsigned value = static_cast<unsigned>(*p++ - '0');
    if (digit_at(p)) {
      value = value * 10 + static_cast<unsigned>(*p++ - '0');
      if (digit_at(p)) value = value * 10 + static_cast<unsigned>(*p++ - '0');
    }
    if (value > 255) return false;
    result |= static_cast<std::uint32_t>(value) << (8 * part);
  }
  if (p != end) return false;
  address = result;
  return true;
}

}  // namespace tf::net
