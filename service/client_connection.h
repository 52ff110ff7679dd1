// CClientConnection: one connected console. Three threads serve it and
// meet only in its queues: the receiver reads frames from the socket into
// the command queue, the sender writes the outgoing queue's messages as
// frames, and the command thread (which owns the connection) serves the
// commands.
//
// The connection ends the same way whoever notices first: the receiver's
// end (peer closed, socket error, bad frame) puts CMD_DISCONNECT on the
// command queue; the command thread then stops the connection: the sender
// sends what is queued and ends, the socket is shut down so that the
// receiver ends, both are joined, and only then is the socket closed, once.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>

#include "engine/common/message_queue.h"
#include "platform/net/socket.h"

namespace tf::service {

class CClientConnection {
 public:
  // Each send may take this long before the peer counts as gone.
  static constexpr int kSendTimeoutMs = 10000;

  CClientConnection(net::Socket socket, std::uint32_t peer_address, bool remote);
  // Stops the connection when its owner did not.
  ~CClientConnection();
  CClientConnection(const CClientConnection&) = delete;
  CClientConnection& operator=(const CClientConnection&) = delete;

  // Starts the receiver and the sender.
  void StartThreads();
  // Sends what is queued, then ends both threads; the socket is closed when
  // the connection goes. Safe to call more than once.
  void Stop();
  // Makes the receiver end, and with it the connection (service stop).
  void Disconnect() { socket_.Shutdown(); }

  // A class-1 message for this console: always succeeds.
  void SendToClient(std::uint32_t code, std::uint32_t parameter, std::string body = {});
  // The same as a notification (class 2).
  void SendNotification(std::uint32_t code, std::uint32_t parameter, std::string body = {});
  void SendAck();
  void SendErrorBox(std::string_view text, std::string_view caption, std::uint32_t flags);
  void SendErrorBoxNotification(std::string_view text, std::string_view caption,
                                std::uint32_t flags);

  CMessageQueue& outgoing() { return outgoing_; }
  CMessageQueue& commands() { return commands_; }

  std::uint32_t peer_address() const { return peer_address_; }
  std::string peer_text() const;
  bool remote() const { return remote_; }
  bool logged_on() const { return logged_on_.load(); }
  // Only the client list sets it, under its lock (see ClientList::LogOn).
  void set_logged_on() { logged_on_.store(true); }

  std::uint32_t challenge = 0;
  int failed_logons = 0;

 private:
  void ReceiveFrames();
  void SendFrames();
  bool ReadExactly(char* buffer, std::size_t count);

  net::Socket socket_;
  const std::uint32_t peer_address_;
  const bool remote_;
  std::atomic<bool> logged_on_{false};
  CMessageQueue outgoing_;
  CMessageQueue commands_;
  std::thread receiver_;
  std::thread sender_;
};

}  // namespace tf::service
