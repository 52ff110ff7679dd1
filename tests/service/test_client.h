// A console for the tests: connects from a chosen loopback address, sends
// commands and raw bytes, and reads the service's frames with generous
// deadlines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/common/message_queue.h"
#include "platform/net/socket.h"

namespace tf::service::test {

std::uint32_t Loopback(int last);  // 127.0.0.<last>

class TestClient {
 public:
  static constexpr int kDeadlineMs = 30000;

  // Connects to the server from `from` (0: any address).
  bool Connect(net::Endpoint server, std::uint32_t from = 0);
  // The same in two steps: the socket first, the connection later.
  bool Open(std::uint32_t from = 0);
  bool ConnectTo(net::Endpoint server);
  void Send(std::uint32_t code, std::uint32_t parameter = 0, std::string body = {},
            std::uint32_t message_class = 1);
  void SendRaw(const std::string& bytes);
  // Tells the service that nothing more comes; the service then ends the
  // connection.
  void FinishSending();
  void Close() { socket_.Close(); }

  // The next frame, or nothing when the connection ended or the deadline
  // passed.
  std::optional<QueueMessage> Next(int timeout_ms = kDeadlineMs);
  // Skips frames until one with the code arrives.
  std::optional<QueueMessage> NextWithCode(std::uint32_t code, int timeout_ms = kDeadlineMs);
  // True when the service closed the connection; frames read before that are
  // counted in *frames.
  bool WaitForClose(int* frames = nullptr, int timeout_ms = kDeadlineMs);
  // Logs on with the challenge from the service's first frame.
  bool LogOn(std::string_view name, std::string_view password);

  std::uint32_t last_sequence() const { return last_sequence_; }
  std::uint32_t challenge() const { return challenge_; }
  const std::string& last_raw_body() const { return last_raw_body_; }

 private:
  bool ReadExactly(char* buffer, std::size_t count, int timeout_ms);

  net::Socket socket_;
  std::uint32_t last_sequence_ = 0;
  std::uint32_t challenge_ = 0;
  std::string last_raw_body_;
  bool ended_ = false;
};

}  // namespace tf::service::test
