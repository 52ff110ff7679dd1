// The command server: the listener that accepts consoles, one command
// thread per connection with its logon exchange, and the handlers that turn
// each command into work on the site list and the engine.
//
// A console on the service's own address is logged on at once. Any other
// is refused unless remote access is allowed and a logon name and password
// are set; it then gets a challenge and must answer it with a logon record
// whose check value is the CRC of name, password and challenge.
#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/net/socket.h"
#include "service/client_connection.h"
#include "service/client_list.h"
#include "service/service_scheduler.h"

namespace tf::service {

// The port in the registry value TallyfoxPort, written as 5579 when absent.
int GetServicePort();
// The listening address: the registry value TallyfoxAddress when it holds a
// dotted address, else the first IPv4 address of the host's name; 0 when
// none is found.
std::uint32_t GetServiceAddress();

class CommandServer {
 public:
  // A refused console is given this long to read its error box.
  static constexpr std::chrono::milliseconds kRefusalGrace{10000};
  // After this many failed logons a connection is closed.
  static constexpr int kMaxFailedLogons = 5;

  CommandServer(ClientList& clients, ServiceScheduler& scheduler);
  // Stop().
  ~CommandServer();
  CommandServer(const CommandServer&) = delete;
  CommandServer& operator=(const CommandServer&) = delete;

  // Binds to the address and port, listens and starts the listener thread.
  // False, with the reason in the event log, when the socket cannot be had.
  bool Start(std::uint32_t address, int port);
  // The listener ends, every connection is ended and every thread joined.
  void Stop();

  net::Endpoint endpoint() const { return endpoint_; }
  // Command threads still running (for the leak checks of the tests).
  std::size_t session_count();

 private:
  struct Session {
    std::unique_ptr<CClientConnection> connection;
    std::thread thread;
    std::atomic<bool> finished{false};
  };

  void ListenerThread();
  void AcceptConnection(net::Socket socket);
  void ReapSessions(bool all);
  void ClientThread(Session& session);
  void Greet(CClientConnection& connection);
  void DispatchCommands(CClientConnection& connection);
  void SendLogonState(CClientConnection& connection, bool first_logon);
  bool RemoteLogonPossible() const;
  std::uint32_t MakeChallenge(std::uint32_t peer_address);

  // Handlers; false ends the connection.
  bool HandleLogon(CClientConnection& connection, const QueueMessage& message);
  void HandleChangeLogon(CClientConnection& connection, const QueueMessage& message);
  void HandleGetAll(CClientConnection& connection);
  void HandleRemoveSite(CClientConnection& connection, std::int32_t id);
  void HandleCreateSite(CClientConnection& connection, const std::string& body);
  void HandleResetSite(CClientConnection& connection, std::int32_t id);
  void HandleGenerateReports(CClientConnection& connection, std::int32_t id);
  void HandleSetSystemSettings(CClientConnection& connection, const std::string& body);
  void HandleModifySite(CClientConnection& connection, std::int32_t id, const std::string& body);
  void HandleStartAnalysis(CClientConnection& connection, std::int32_t id);
  void HandleStopAnalysis(CClientConnection& connection, std::int32_t id);
  void HandleGetSiteStatus(CClientConnection& connection, std::int32_t id);

  ClientList& clients_;
  ServiceScheduler& scheduler_;
  net::Socket listener_;
  net::Endpoint endpoint_;
  std::thread listener_thread_;
  std::atomic<bool> stopping_{false};
  std::mutex sessions_lock_;
  std::list<std::unique_ptr<Session>> sessions_;
  std::atomic<std::uint32_t> challenge_counter_{0};
};

}  // namespace tf::service
