// The connected consoles, newest first, under one lock, and the alerts
// kept while no console is logged on. Lock order: the site list's lock,
// then this one; a queue's own lock is innermost.
#pragma once

#include <cstdint>
#include <list>
#include <mutex>
#include <string_view>

#include "engine/common/message_queue.h"
#include "service/client_connection.h"

namespace tf::service {

class ClientList {
 public:
  ClientList() = default;
  ClientList(const ClientList&) = delete;
  ClientList& operator=(const ClientList&) = delete;

  void LinkClient(CClientConnection& connection);
  // Nothing when it is not listed.
  void UnlinkClient(CClientConnection& connection);

  // Marks the connection logged on and hands it, in order, the alerts that
  // waited for a console and then `first` (its logon state), with no
  // broadcast in between.
  void LogOn(CClientConnection& connection, MessagePtr first);

  // A class-2 message to every logged-on console, each its own copy.
  void BroadcastNotification(std::uint32_t code, std::uint32_t parameter, std::string body = {});
  // Returns how many consoles took it.
  int BroadcastToClients(const QueueMessage& message);

  // An engine message box for the consoles (MSG_ALERT): broadcast, or kept
  // for the next console that logs on when none is logged on now.
  void QueueAlert(std::string_view text, std::string_view caption, std::uint32_t flags);

  std::size_t Count() const;
  std::size_t PendingAlerts() const { return pending_alerts_.Count(); }

 private:
  int BroadcastLocked(const QueueMessage& message);

  mutable std::mutex lock_;
  std::list<CClientConnection*> clients_;
  CMessageQueue pending_alerts_;
};

}  // namespace tf::service
