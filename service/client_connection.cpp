#include "service/client_connection.h"

#include <utility>

#include "service/frame.h"
#include "service/message_bodies.h"
#include "service/protocol.h"

namespace tf::service {

CClientConnection::CClientConnection(net::Socket socket, std::uint32_t peer_address, bool remote)
    : socket_(std::move(socket)), peer_address_(peer_address), remote_(remote) {
  logged_on_ = !remote;
}

CClientConnection::~CClientConnection() { Stop(); }

std::string CClientConnection::peer_text() const { return net::FormatIpv4(peer_address_); }

void CClientConnection::StartThreads() {
  net::SetSendTimeout(socket_, kSendTimeoutMs);
  receiver_ = std::thread([this] { ReceiveFrames(); });
  sender_ = std::thread([this] { SendFrames(); });
}

void CClientConnection::Stop() {
  outgoing_.Close();
  if (sender_.joinable()) sender_.join();
  socket_.Shutdown();
  if (receiver_.joinable()) receiver_.join();
  commands_.Close();
}

bool CClientConnection::ReadExactly(char* buffer, std::size_t count) {
  std::size_t received = 0;
  while (received < count) {
    net::Transfer transfer = net::Receive(socket_, buffer + received, count - received);
    if (transfer.error != 0 || transfer.bytes == 0) return false;
    received += transfer.bytes;
  }
  return true;
}

void CClientConnection::ReceiveFrames() {
  auto read = [this](char* buffer, std::size_t count) { return ReadExactly(buffer, count); };
  for (;;) {
    auto message = std::make_unique<QueueMessage>();
    if (ReadFrame(read, *message) != FrameRead::kOk) break;
    // Only commands are served; a console's notifications and frames of any
    // other class are dropped at once.
    if (message->message_class == kMessageCommand) commands_.Put(std::move(message));
  }
  // The peer cannot be read any more; nothing more is sent to it either.
  socket_.Shutdown();
  commands_.Put(MakeMessage(kMessageCommand, CMD_DISCONNECT, 0));
}

void CClientConnection::SendFrames() {
  bool broken = false;
  while (MessagePtr message = outgoing_.Get()) {
    // After a failed send the rest is taken and dropped until the end.
    if (broken) continue;
    std::string frame = BuildFrame(*message, NextSendSequence());
    if (net::SendAll(socket_, frame).error != 0) {
      broken = true;
      socket_.Shutdown();
    }
  }
}

void CClientConnection::SendToClient(std::uint32_t code, std::uint32_t parameter,
                                     std::string body) {
  outgoing_.Put(MakeMessage(kMessageCommand, code, parameter, std::move(body)));
}

void CClientConnection::SendNotification(std::uint32_t code, std::uint32_t parameter,
                                         std::string body) {
  outgoing_.Put(MakeMessage(kMessageNotification, code, parameter, std::move(body)));
}

void CClientConnection::SendAck() { SendToClient(MSG_ACK, 0); }

void CClientConnection::SendErrorBox(std::string_view text, std::string_view caption,
                                     std::uint32_t flags) {
  SendToClient(MSG_ERROR_BOX, 0, EncodeTextBox(text, caption, flags));
}

void CClientConnection::SendErrorBoxNotification(std::string_view text, std::string_view caption,
                                                 std::uint32_t flags) {
  SendNotification(MSG_ERROR_BOX, 0, EncodeTextBox(text, caption, flags));
}

}  // namespace tf::service
