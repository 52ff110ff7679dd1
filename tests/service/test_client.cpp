#include "test_client.h"

#include <sys/socket.h>

#include <chrono>

#include "service/frame.h"
#include "service/message_bodies.h"
#include "service/protocol.h"

namespace tf::service::test {

std::uint32_t Loopback(int last) {
  return 127u | (static_cast<std::uint32_t>(last) << 24);
}

bool TestClient::Connect(net::Endpoint server, std::uint32_t from) {
  return Open(from) && ConnectTo(server);
}

bool TestClient::Open(std::uint32_t from) {
  if (net::OpenStream(socket_) != 0) return false;
  return from == 0 || net::Bind(socket_, net::Endpoint{from, 0}) == 0;
}

bool TestClient::ConnectTo(net::Endpoint server) {
  return net::ConnectWithin(socket_, server, kDeadlineMs) == 0;
}

void TestClient::Send(std::uint32_t code, std::uint32_t parameter, std::string body,
                      std::uint32_t message_class) {
  static std::uint32_t sequence = 0x5000;
  SendRaw(BuildFrame(QueueMessage{message_class, code, parameter, std::move(body)}, ++sequence));
}

void TestClient::SendRaw(const std::string& bytes) { net::SendAll(socket_, bytes); }

void TestClient::FinishSending() { shutdown(socket_.descriptor(), SHUT_WR); }

bool TestClient::ReadExactly(char* buffer, std::size_t count, int timeout_ms) {
  std::size_t received = 0;
  while (received < count) {
    net::Transfer transfer = net::Receive(socket_, buffer + received, count - received, timeout_ms);
    if (transfer.error != 0 || transfer.bytes == 0) {
      ended_ = transfer.error != ETIMEDOUT;
      return false;
    }
    received += transfer.bytes;
  }
  return true;
}

std::optional<QueueMessage> TestClient::Next(int timeout_ms) {
  QueueMessage message;
  char header[kFrameHeaderSize];
  if (!ReadExactly(header, sizeof header, timeout_ms)) return std::nullopt;
  FrameHeader fields = DecodeFrameHeader(header);
  if (!IsValidFrameLength(fields.length)) return std::nullopt;
  message.message_class = fields.message_class;
  message.code = fields.code;
  message.parameter = fields.parameter;
  message.body.assign(fields.length - kFrameHeaderSize, '\0');
  if (!message.body.empty() && !ReadExactly(message.body.data(), message.body.size(), timeout_ms)) {
    return std::nullopt;
  }
  last_raw_body_ = message.body;
  ScrambleBody(message.body.data(), message.body.size(), fields.sequence);
  last_sequence_ = fields.sequence;
  return message;
}

std::optional<QueueMessage> TestClient::NextWithCode(std::uint32_t code, int timeout_ms) {
  while (auto message = Next(timeout_ms)) {
    if (message->code == code) return message;
  }
  return std::nullopt;
}

bool TestClient::WaitForClose(int* frames, int timeout_ms) {
  int count = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < deadline) {
    if (Next(timeout_ms)) {
      ++count;
      continue;
    }
    if (ended_) break;
  }
  if (frames != nullptr) *frames = count;
  return ended_;
}

bool TestClient::LogOn(std::string_view name, std::string_view password) {
  auto challenge = NextWithCode(MSG_LOGON_CHALLENGE);
  if (!challenge) return false;
  challenge_ = challenge->parameter;
  Send(CMD_LOGON, 0, EncodeLogonRecord(name, password, LogonCheck(name, password, challenge_)));
  auto state = Next();
  return state && state->code == MSG_LOGON_STATE;
}

}  // namespace tf::service::test
