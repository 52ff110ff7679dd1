// TCP over IPv4: a socket owner that closes once, connect with a time-out,
// listen and accept, sends that finish or fail, receives with a time-out,
// and the dotted text of an address.
//
// An address is a u32 holding the four numbers with the first in the lowest
// byte, which puts them in network order in memory. Every call reports a
// failure as an errno value (0 for success) instead of throwing, because the
// callers map each error to a status of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tf::net {

// Owns one socket descriptor: closed exactly once, by Close or the
// destructor; moving hands the descriptor on.
class Socket {
 public:
  Socket() = default;
  explicit Socket(int descriptor) : descriptor_(descriptor) {}
  ~Socket() { Close(); }
  Socket(Socket&& other) noexcept : descriptor_(other.Release()) {}
  Socket& operator=(Socket&& other) noexcept;
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  bool is_open() const { return descriptor_ >= 0; }
  int descriptor() const { return descriptor_; }

  // Makes a call blocked on the socket in another thread return, without
  // closing it (so the number cannot be reused under that call).
  void Shutdown() const;
  // Shuts the socket down in both directions, then closes it.
  void Close();
  int Release();

 private:
  int descriptor_ = -1;
};

struct Endpoint {
  std::uint32_t address = 0;
  int port = 0;
};

// The outcome of a send or receive: bytes moved and 0, or the errno that
// stopped it. A receive of 0 bytes with error 0 means the peer closed.
struct Transfer {
  std::size_t bytes = 0;
  int error = 0;
};

// A blocking stream socket that is not inherited by started programs.
int OpenStream(Socket& out);

// Connects within timeout_ms (ETIMEDOUT when it runs out) and leaves the
// socket blocking.
int ConnectWithin(const Socket& socket, Endpoint to, int timeout_ms);
// Opens a stream socket and connects it; out stays closed on failure.
int Connect(Socket& out, Endpoint to, int timeout_ms);

// Binds to `at` (port 0: any free port); then listens for connections.
int Bind(const Socket& socket, Endpoint at);
int StartListening(const Socket& socket, int backlog);
// Opens a stream socket, binds it to `at` and listens.
int Listen(Socket& out, Endpoint at, int backlog);
// Waits at most timeout_ms (negative: without limit) for a connection.
int Accept(const Socket& listener, Socket& out, int timeout_ms = -1);

// Sends everything, across partial sends and interruptions. A closed peer
// is reported as EPIPE, never as a signal.
Transfer SendAll(const Socket& socket, std::string_view data);
// One receive of up to `size` bytes, waiting at most timeout_ms (negative:
// without limit; ETIMEDOUT when it runs out). Interruptions are retried.
Transfer Receive(const Socket& socket, void* buffer, std::size_t size, int timeout_ms = -1);

// The address the socket is bound to, and the one it is connected to.
int LocalEndpoint(const Socket& socket, Endpoint& out);
int PeerEndpoint(const Socket& socket, Endpoint& out);

void SetKeepAlive(const Socket& socket);
// A close waits up to `seconds` for unsent data to leave.
void SetLinger(const Socket& socket, int seconds);
// A send that cannot go on for `timeout_ms` fails (EAGAIN) instead of
// waiting for a peer that stopped reading.
void SetSendTimeout(const Socket& socket, int timeout_ms);

// "a.b.c.d", first number first.
std::string FormatIpv4(std::uint32_t address);
// Four decimal numbers of 0 to 255 separated by dots and nothing else;
// false, with address untouched, for any other text.
bool ParseIpv4(std::string_view text, std::uint32_t& address);

}  // namespace tf::net
