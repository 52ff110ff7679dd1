#include "service/client_list.h"

#include <algorithm>
#include <utility>

#include "service/message_bodies.h"
#include "service/protocol.h"

namespace tf::service {

void ClientList::LinkClient(CClientConnection& connection) {
  std::lock_guard<std::mutex> guard(lock_);
  clients_.push_front(&connection);
}

void ClientList::UnlinkClient(CClientConnection& connection) {
  std::lock_guard<std::mutex> guard(lock_);
  clients_.remove(&connection);
}

void ClientList::LogOn(CClientConnection& connection, MessagePtr first) {
  std::lock_guard<std::mutex> guard(lock_);
  connection.set_logged_on();
  while (MessagePtr alert = pending_alerts_.TryGet()) connection.outgoing().Put(std::move(alert));
  if (first) connection.outgoing().Put(std::move(first));
}

void ClientList::BroadcastNotification(std::uint32_t code, std::uint32_t parameter,
                                       std::string body) {
  QueueMessage message{kMessageNotification, code, parameter, std::move(body)};
  BroadcastToClients(message);
}

int ClientList::BroadcastToClients(const QueueMessage& message) {
  std::lock_guard<std::mutex> guard(lock_);
  return BroadcastLocked(message);
}

int ClientList::BroadcastLocked(const QueueMessage& message) {
  int taken = 0;
  for (CClientConnection* client : clients_) {
    if (!client->logged_on()) continue;
    client->outgoing().Put(std::make_unique<QueueMessage>(message));
    ++taken;
  }
  return taken;
}

void ClientList::QueueAlert(std::string_view text, std::string_view caption,
                            std::uint32_t flags) {
  QueueMessage alert{kMessageNotification, MSG_ALERT, 0, EncodeTextBox(text, caption, flags)};
  std::lock_guard<std::mutex> guard(lock_);
  if (BroadcastLocked(alert) == 0) pending_alerts_.Put(std::make_unique<QueueMessage>(alert));
}

std::size_t ClientList::Count() const {
  std::lock_guard<std::mutex> guard(lock_);
  return clients_.size();
}

}  // namespace tf::service
