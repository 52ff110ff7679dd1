#include "service/command_server.h"

#include <cerrno>
#include <chrono>
#include <string_view>
#include <utility>

#include "engine/common/address.h"
#include "engine/common/ascii.h"
#include "engine/common/time_value.h"
#include "engine/reports/report_launcher.h"
#include "engine/run/reset_statistics.h"
#include "engine/site/projects_database.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "engine/store/system_data.h"
#include "platform/registry/registry.h"
#include "platform/svchost/system_log.h"
#include "service/event_log.h"
#include "service/frame.h"
#include "service/message_bodies.h"
#include "service/protocol.h"

namespace tf::service {

namespace {

using namespace std::chrono_literals;
using ListLock = std::lock_guard<std::recursive_mutex>;

constexpr std::string_view kTallyfoxKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Tallyfox";
constexpr int kListenBacklog = 20;
constexpr int kLingerSeconds = 120;
// How long one wait for a connection lasts before the stop flag is looked
// at again, and the pause after an accept error that may pass.
constexpr int kAcceptPollMs = 200;
constexpr auto kAcceptBackOff = 100ms;
// Seconds from the first day of the calendar to the challenge's epoch.
constexpr double kChallengeEpoch = 62798284800.0;
constexpr std::size_t kReportErrorSize = 500;

constexpr std::string_view kNoSiteText = "Unable to find site with the specified ID";
constexpr std::string_view kNoEntryText = "Unable to find an entry for this site";
constexpr std::string_view kTooLargeText =
    "The site's settings are too large to be sent to the consoles";

bool IsRunning(const CSite& site) {
  std::int32_t state = site.state;
  return state == kSiteRunning || state == kSiteStopping;
}

// Whether the site a record describes still goes to the consoles in one
// frame. Its texts are kept as long as sent (the filters), and the service
// adds every field the record left out, so a record that fits may make a
// site that does not; every console would drop its connection on that
// frame, at each broadcast and each listing. The largest ID stands in for
// the site's own.
bool SiteFitsInFrame(CSite& site) {
  struct IdKept {
    CSite& site;
    const std::int32_t id;
    ~IdKept() { site.ProjectID = id; }
  } kept{site, site.ProjectID};
  site.ProjectID = -1;
  return EncodeSiteRecord(site).size() <= kMaxFrameLength - kFrameHeaderSize;
}
bool SiteFitsInFrame(std::string_view record) {
  CSite decoded;
  DecodeSiteRecord(record, decoded);
  return SiteFitsInFrame(decoded);
}

// Errors of accept that say nothing about the listening socket itself.
bool IsPassingAcceptError(int error) {
  switch (error) {
    case EMFILE:
    case ENFILE:
    case ENOBUFS:
    case ENOMEM:
    case ECONNABORTED:
    case EINTR:
    case EPROTO:
    case EPERM:
    case ETIMEDOUT:
    case EAGAIN:
      return true;
    default:
      return false;
  }
}

}  // namespace

int GetServicePort() {
  registry::Key key;
  std::uint32_t port = 0;
  if (registry::Key::Open(kTallyfoxKey, registry::KEY_READ, &key) == registry::ERROR_SUCCESS &&
      key.QueryDword("TallyfoxPort", &port) == registry::ERROR_SUCCESS) {
    return static_cast<int>(port);
  }
  if (registry::Key::Create(kTallyfoxKey, registry::KEY_ALL_ACCESS, &key) ==
      registry::ERROR_SUCCESS) {
    key.SetDword("TallyfoxPort", kDefaultServicePort);
  }
  return kDefaultServicePort;
}

std::uint32_t GetServiceAddress() {
  registry::Key key;
  std::string text;
  std::uint32_t address = 0;
  if (registry::Key::Open(kTallyfoxKey, registry::KEY_READ, &key) == registry::ERROR_SUCCESS &&
      key.QueryString("TallyfoxAddress", &text) == registry::ERROR_SUCCESS &&
      ReadDottedAddress(text, address)) {
    return address;
  }
  return HostToAddress("local");
}

CommandServer::CommandServer(ClientList& clients, ServiceScheduler& scheduler)
    : clients_(clients), scheduler_(scheduler) {}

CommandServer::~CommandServer() { Stop(); }

bool CommandServer::Start(std::uint32_t address, int port) {
  std::string host = svchost::HostName();
  LogInfo("Listening on port %d of host %s, IP=%s", port, host.c_str(),
          net::FormatIpv4(address).c_str());
  if (net::OpenStream(listener_) != 0) {
    LogError("Error allocating socket for accept");
    return false;
  }
  if (net::Bind(listener_, net::Endpoint{address, port}) != 0 ||
      net::StartListening(listener_, kListenBacklog) != 0) {
    listener_.Close();
    LogError("Unable to bind to port %d", port);
    return false;
  }
  net::LocalEndpoint(listener_, endpoint_);
  stopping_ = false;
  listener_thread_ = std::thread([this] { ListenerThread(); });
  return true;
}

void CommandServer::Stop() {
  stopping_ = true;
  if (listener_thread_.joinable()) listener_thread_.join();
  listener_.Close();
  ReapSessions(true);
}

std::size_t CommandServer::session_count() {
  std::lock_guard<std::mutex> guard(sessions_lock_);
  return sessions_.size();
}

void CommandServer::ListenerThread() {
  while (!stopping_) {
    ReapSessions(false);
    net::Socket socket;
    int error = net::Accept(listener_, socket, kAcceptPollMs);
    if (error == 0) {
      AcceptConnection(std::move(socket));
    } else if (error == ETIMEDOUT) {
      continue;
    } else if (IsPassingAcceptError(error)) {
      // Out of descriptors or a peer that gave up: wait a little, then go on
      // accepting, so one bad moment does not end the service's listening.
      LogWarning("Error accepting socket connection (%d)", error);
      std::this_thread::sleep_for(kAcceptBackOff);
    } else {
      LogError("Error accepting socket connection");
      return;
    }
  }
}

void CommandServer::AcceptConnection(net::Socket socket) {
  net::SetLinger(socket, kLingerSeconds);
  net::SetKeepAlive(socket);
  net::Endpoint peer;
  net::PeerEndpoint(socket, peer);
  bool local = peer.address != 0 && peer.address == endpoint_.address;
  std::string peer_text = net::FormatIpv4(peer.address);
  if (local) {
    LogInfo("Local client connection received from IP %s", peer_text.c_str());
  } else {
    LogInfo("Remote client connection received from IP %s", peer_text.c_str());
  }
  auto session = std::make_unique<Session>();
  session->connection = std::make_unique<CClientConnection>(std::move(socket), peer.address, !local);
  Session& started = *session;
  std::lock_guard<std::mutex> guard(sessions_lock_);
  sessions_.push_back(std::move(session));
  try {
    started.thread = std::thread([this, &started] { ClientThread(started); });
  } catch (const std::system_error&) {
    // No thread for it: the connection is closed again.
    sessions_.pop_back();
  }
}

void CommandServer::ReapSessions(bool all) {
  std::list<std::unique_ptr<Session>> ended;
  {
    std::lock_guard<std::mutex> guard(sessions_lock_);
    for (auto it = sessions_.begin(); it != sessions_.end();) {
      if (all && !(*it)->finished) (*it)->connection->Disconnect();
      if (all || (*it)->finished) {
        ended.push_back(std::move(*it));
        it = sessions_.erase(it);
      } else {
        ++it;
      }
    }
  }
  // Joined outside the lock; the connection goes after its command thread.
  for (auto& session : ended) {
    if (session->thread.joinable()) session->thread.join();
  }
}

void CommandServer::ClientThread(Session& session) {
  CClientConnection& connection = *session.connection;
  connection.StartThreads();
  clients_.LinkClient(connection);
  Greet(connection);
  LogInfo("Client disconnected.  IP = %s", connection.peer_text().c_str());
  clients_.UnlinkClient(connection);
  connection.Stop();
  session.finished = true;
}

bool CommandServer::RemoteLogonPossible() const {
  ListLock lock(SiteList.mutex());
  return SystemData.AllowRemoteAccess && !SystemData.RemoteLogonName.empty() &&
         !SystemData.RemotePassword.empty();
}

std::uint32_t CommandServer::MakeChallenge(std::uint32_t peer_address) {
  double minutes = (NowLocalSeconds() - kChallengeEpoch) / 60;
  auto base = static_cast<std::uint32_t>(static_cast<std::int64_t>(minutes));
  return (base + challenge_counter_.fetch_add(1)) ^ peer_address;
}

void CommandServer::Greet(CClientConnection& connection) {
  if (!connection.remote()) {
    SendLogonState(connection, true);
    DispatchCommands(connection);
    return;
  }
  if (!RemoteLogonPossible()) {
    connection.SendErrorBox("This Tallyfox server does not allow remote connections",
                            "Connecton rejected", kBoxStopOk);
    {
      ListLock lock(SiteList.mutex());
      if (!SystemData.AllowRemoteAccess) {
        LogWarning("Connection rejected because remote connections are not allowed");
      } else {
        LogWarning("Connection rejected because no remote logon name and password are set");
      }
    }
    // Time to read the box; a console that leaves earlier ends it at once.
    auto deadline = std::chrono::steady_clock::now() + kRefusalGrace;
    for (;;) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left <= 0ms) return;
      MessagePtr message = connection.commands().GetWithin(left);
      if (!message || message->code == CMD_DISCONNECT) return;
    }
  }
  connection.challenge = MakeChallenge(connection.peer_address());
  connection.SendToClient(MSG_LOGON_CHALLENGE, connection.challenge);
  DispatchCommands(connection);
}

void CommandServer::SendLogonState(CClientConnection& connection, bool first_logon) {
  bool allowed;
  {
    ListLock lock(SiteList.mutex());
    allowed = SystemData.AllowRemoteAccess;
  }
  MessagePtr state = MakeMessage(kMessageCommand, MSG_LOGON_STATE, 0,
                                 EncodeLogonState(connection.remote(), allowed));
  if (first_logon) {
    clients_.LogOn(connection, std::move(state));
  } else {
    connection.outgoing().Put(std::move(state));
  }
}

void CommandServer::DispatchCommands(CClientConnection& connection) {
  while (MessagePtr message = connection.commands().Get()) {
    auto id = static_cast<std::int32_t>(message->parameter);
    const std::string& body = message->body;
    if (message->code == CMD_DISCONNECT) return;
    if (!connection.logged_on()) {
      if (message->code == CMD_LOGON && !HandleLogon(connection, *message)) return;
      continue;
    }
    switch (message->code) {
      case CMD_GET_ALL: HandleGetAll(connection); break;
      case CMD_REMOVE_SITE: HandleRemoveSite(connection, id); break;
      case CMD_CREATE_SITE: HandleCreateSite(connection, body); break;
      case CMD_RESET_SITE: HandleResetSite(connection, id); break;
      case CMD_GENERATE_REPORTS: HandleGenerateReports(connection, id); break;
      case CMD_SET_SYSTEM_SETTINGS: HandleSetSystemSettings(connection, body); break;
      case CMD_MODIFY_SITE: HandleModifySite(connection, id, body); break;
      case CMD_START_ANALYSIS: HandleStartAnalysis(connection, id); break;
      case CMD_STOP_ANALYSIS: HandleStopAnalysis(connection, id); break;
      case CMD_GET_SITE_STATUS: HandleGetSiteStatus(connection, id); break;
      case CMD_LOGON:
      case CMD_LOGON2:
        if (!HandleLogon(connection, *message)) return;
        break;
      case CMD_CHANGE_LOGON: HandleChangeLogon(connection, *message); break;
      default: break;
    }
  }
}

bool CommandServer::HandleLogon(CClientConnection& connection, const QueueMessage& message) {
  LogonFields fields;
  bool accepted = DecodeLogonRecord(message.body, fields) && RemoteLogonPossible() &&
                  LogonCheck(fields.name, fields.password, connection.challenge) == fields.check;
  if (accepted) {
    ListLock lock(SiteList.mutex());
    accepted = EqualsCaseless(fields.name, SystemData.RemoteLogonName) &&
               EqualsCaseless(fields.password, SystemData.RemotePassword);
  }
  std::string peer = connection.peer_text();
  if (accepted) {
    SendLogonState(connection, !connection.logged_on());
    LogInfo("Successful logon for %s from %s", fields.name.c_str(), peer.c_str());
    return true;
  }
  connection.SendErrorBox(
      "Logon failure.\n\nThe logon name and password you specified were not accepted by the "
      "server.",
      "Logon failure", kBoxStopOk);
  LogWarning("Invalid logon using name %s (IP=%s)", fields.name.c_str(), peer.c_str());
  // Guessing is not given for ever on one connection.
  return ++connection.failed_logons < kMaxFailedLogons;
}

void CommandServer::HandleChangeLogon(CClientConnection& connection, const QueueMessage& message) {
  LogonFields fields;
  if (!DecodeLogonRecord(message.body, fields) ||
      LogonCheck(fields.name, fields.password, connection.challenge) != fields.check) {
    connection.SendErrorBox("The new logon information is invalid", "Error", kBoxStopOk);
    return;
  }
  {
    ListLock lock(SiteList.mutex());
    SystemData.RemoteLogonName = fields.name;
    SystemData.RemotePassword = fields.password;
    // Kept over a restart, as the console keeps what its pages change.
    ProjectsDatabase.StoreSystemSettings();
  }
  SendLogonState(connection, false);
}

void CommandServer::HandleGetAll(CClientConnection& connection) {
  ListLock lock(SiteList.mutex());
  connection.SendToClient(MSG_SYSTEM_SETTINGS, 0, EncodeSystemSettings(SystemData));
  connection.SendToClient(MSG_SITE_LIST_BEGIN, 0);
  for (const auto& site : SiteList.sites()) {
    auto id = static_cast<std::uint32_t>(site->ProjectID);
    connection.SendToClient(MSG_SITE_RECORD, id, EncodeSiteRecord(*site));
    connection.SendToClient(MSG_SITE_STATUS, id, EncodeSiteStatus(*site));
  }
  connection.SendToClient(MSG_SITE_LIST_END, 0);
}

void CommandServer::HandleRemoveSite(CClientConnection& connection, std::int32_t id) {
  // The check and the removal under one hold of the list: no analysis can
  // start in between.
  ListLock lock(SiteList.mutex());
  CSite* site = SiteList.Find(id);
  if (site == nullptr) {
    connection.SendErrorBox(kNoSiteText, "Error removing site", kBoxStopOk);
    return;
  }
  if (IsRunning(*site)) {
    connection.SendErrorBox("Cannot remove site -- an analysis of this site is being run now.",
                            "Cannot remove site", kBoxStopOk);
    return;
  }
  connection.SendAck();
  scheduler_.StopAnalysis(*site);  // a pending site waits no longer
  clients_.BroadcastNotification(MSG_SITE_REMOVED, static_cast<std::uint32_t>(id));
  ProjectsDatabase.DeleteProject(site);
}

void CommandServer::HandleCreateSite(CClientConnection& connection, const std::string& body) {
  auto site = std::make_unique<CSite>();
  DecodeSiteRecord(body, *site);
  ListLock lock(SiteList.mutex());
  for (const auto& listed : SiteList.sites()) {
    if (EqualsCaseless(listed->ProjectName, site->ProjectName)) {
      connection.SendErrorBox("An existing project already has the name '" + site->ProjectName +
                                  "'.\nPlease choose a different name for this project.",
                              "Duplicate project name", kBoxStopOkCancel);
      return;
    }
  }
  if (!SiteFitsInFrame(*site)) {
    connection.SendErrorBox(kTooLargeText, "Error creating site", kBoxStopOk);
    return;
  }
  connection.SendAck();
  // The service numbers the site and names its database, whatever was sent.
  site->ProjectID = 0;
  site->DatabaseName.clear();
  CSite* created = site.release();
  created->SetUpNewSite();  // the list owns it from here
  scheduler_.BroadcastSiteRecord(*created);
  if (!ProjectsDatabase.AddProject(*created)) {
    // Without its row and database the site cannot stay listed.
    auto created_id = static_cast<std::uint32_t>(created->ProjectID);
    RemoveSiteFromList(created);
    clients_.BroadcastNotification(MSG_SITE_REMOVED, created_id);
    return;
  }
  created->CloseSiteDatabase();
  created->settings_changed = true;
  ProjectsDatabase.UpdateProjects();
}

void CommandServer::HandleResetSite(CClientConnection& connection, std::int32_t id) {
  ListLock lock(SiteList.mutex());
  CSite* site = SiteList.Find(id);
  if (site == nullptr) {
    connection.SendErrorBox(kNoSiteText, "Error resetting site", kBoxStopOk);
    return;
  }
  if (IsRunning(*site)) {
    connection.SendErrorBox("Cannot reset site -- an analysis of this site is being run now.",
                            "Cannot reset site", kBoxStopOk);
    return;
  }
  connection.SendAck();
  ResetStatistics(*site);
  scheduler_.BroadcastSiteRecord(*site);
}

void CommandServer::HandleGenerateReports(CClientConnection& connection, std::int32_t id) {
  // Held throughout, so the site cannot be removed or start a run meanwhile.
  ListLock lock(SiteList.mutex());
  CSite* site = SiteList.Find(id);
  if (site == nullptr) {
    connection.SendErrorBox(kNoSiteText, "Error for site", kBoxStopOk);
    return;
  }
  if (IsRunning(*site)) {
    connection.SendErrorBox(
        "Cannot generate reports -- an analysis of this site is being run now.",
        "Cannot generate reports", kBoxStopOk);
    return;
  }
  connection.SendAck();
  std::string error;
  if (!GenerateReports(*site, error, kReportErrorSize)) {
    connection.SendErrorBoxNotification(error, "Error generating reports", kBoxStopOk);
  }
  scheduler_.BroadcastSiteRecord(*site);
}

void CommandServer::HandleSetSystemSettings(CClientConnection& connection,
                                            const std::string& body) {
  {
    ListLock lock(SiteList.mutex());
    DecodeSystemSettings(body, SystemData);
    ProjectsDatabase.StoreSystemSettings();
  }
  connection.SendAck();
  scheduler_.BroadcastSystemSettings();
}

void CommandServer::HandleModifySite(CClientConnection& connection, std::int32_t id,
                                     const std::string& body) {
  ListLock lock(SiteList.mutex());
  CSite* site = SiteList.Find(id);
  if (site == nullptr) {
    connection.SendErrorBox(kNoEntryText, "Site update error", kBoxStopOk);
    return;
  }
  if (IsRunning(*site)) {
    connection.SendErrorBox("Cannot modify site -- an analysis of this site is being run now.",
                            "Cannot modify site", kBoxStopOk);
    return;
  }
  if (!SiteFitsInFrame(body)) {
    connection.SendErrorBox(kTooLargeText, "Site update error", kBoxStopOk);
    return;
  }
  bool opened = site->OpenSiteDatabase();
  site->ReloadIfChanged();
  DecodeSiteRecord(body, *site);
  connection.SendAck();
  scheduler_.BroadcastSiteRecord(*site);
  site->settings_changed = true;
  ProjectsDatabase.UpdateProjects();
  if (opened) site->CloseSiteDatabase();
}

void CommandServer::HandleStartAnalysis(CClientConnection& connection, std::int32_t id) {
  ListLock lock(SiteList.mutex());
  CSite* site = SiteList.Find(id);
  if (site == nullptr) {
    connection.SendErrorBox(kNoEntryText, "Site error", kBoxStopOk);
    return;
  }
  if (!IsRunning(*site)) scheduler_.StartOrQueueAnalysis(*site);
  connection.SendAck();
}

void CommandServer::HandleStopAnalysis(CClientConnection& connection, std::int32_t id) {
  ListLock lock(SiteList.mutex());
  CSite* site = SiteList.Find(id);
  if (site == nullptr) {
    connection.SendErrorBox(kNoEntryText, "Site error", kBoxStopOk);
    return;
  }
  scheduler_.StopAnalysis(*site);
  connection.SendAck();
}

void CommandServer::HandleGetSiteStatus(CClientConnection& connection, std::int32_t id) {
  ListLock lock(SiteList.mutex());
  CSite* site = SiteList.Find(id);
  if (site != nullptr) {
    connection.SendNotification(MSG_SITE_STATUS, static_cast<std::uint32_t>(id),
                                EncodeSiteStatus(*site));
  }
}

}  // namespace tf::service
