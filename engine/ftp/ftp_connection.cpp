#include "engine/ftp/ftp_connection.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/common/address.h"
#include "engine/common/text.h"
#include "engine/common/text_buffer.h"
#include "engine/common/time_value.h"
#include "engine/ftp/ftp_listing.h"

namespace tf {
namespace {

constexpr std::size_t kBlockSize = 1024;

bool IsReplyClass(int reply, int digit) { return reply >= digit * 100 && reply < digit * 100 + 100; }

// The number a reply text begins with (after blanks), as the server wrote
// it; 0 when it begins with none. Bounded so that no text can overflow it.
int LeadingNumber(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  int value = 0;
  for (int digits = 0; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    if (digits++ < 9) value = value * 10 + (text[pos] - '0');
  }
  return value;
}

void SetSocketOptions(const net::Socket& socket) {
  net::SetLinger(socket, 120);
  net::SetKeepAlive(socket);
}

// Test hook: TALLYFOX_FTP_PORT points every connection at a test server's
// port; the standard port when it is unset or not a port number.
int PortFromEnvironment() {
  const char* value = std::getenv("TALLYFOX_FTP_PORT");
  if (value == nullptr || *value == '\0') return CFtpConnection::kDefaultPort;
  char* end = nullptr;
  long port = std::strtol(value, &end, 10);
  if (*end != '\0' || port < 1 || port > 65535) return CFtpConnection::kDefaultPort;
  return static_cast<int>(port);
}

}  // namespace

void FtpTextOut::Set(std::string_view value) const {
  if (text == nullptr) return;
  *text = std::string(CutUtf8(value, size > 0 ? size - 1 : 0));
}

CFtpConnection::CFtpConnection() : port_(PortFromEnvironment()) {}

CFtpConnection::~CFtpConnection() { Reset(); }

void CFtpConnection::set_timeouts(int command_ticks, int data_ticks) {
  command_timeout_ = command_ticks;
  data_timeout_ = data_ticks;
}

void CFtpConnection::SetLogCallback(FtpMessageCallback callback, void* context, bool detailed) {
  log_callback_ = std::move(callback);
  log_context_ = context;
  detailed_log_ = detailed;
}

// --- Watchdog ---------------------------------------------------------------

void CFtpConnection::StartWatchdog() {
  if (watchdog_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(watchdog_mutex_);
    watchdog_stop_ = false;
  }
  watchdog_ = std::thread([this] { WatchdogLoop(); });
}

void CFtpConnection::StopWatchdog() {
  if (!watchdog_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(watchdog_mutex_);
    watchdog_stop_ = true;
  }
  watchdog_wake_.notify_all();
  watchdog_.join();
}

void CFtpConnection::WatchdogLoop() {
  std::unique_lock<std::mutex> lock(watchdog_mutex_);
  while (!watchdog_stop_) {
    watchdog_wake_.wait_for(lock, std::chrono::milliseconds(kTickMilliseconds),
                            [this] { return watchdog_stop_; });
    if (watchdog_stop_) break;
    Tick(control_countdown_, control_socket_);
    Tick(data_countdown_, data_socket_);
  }
}

// Runs on the watchdog thread with the mutex held, so the socket cannot be
// closed meanwhile.
void CFtpConnection::Tick(Countdown& countdown, const net::Socket& socket) {
  int ticks = countdown.ticks.load();
  if (ticks <= 0 || !countdown.ticks.compare_exchange_strong(ticks, ticks - 1)) return;
  if (ticks == 1) {
    countdown.expired = true;
    socket.Shutdown();
  }
}

void CFtpConnection::Arm(Countdown& countdown, int ticks) {
  countdown.expired = false;
  countdown.ticks = ticks;
}

// --- Sockets ----------------------------------------------------------------

void CFtpConnection::SetSocket(net::Socket& field, net::Socket socket) {
  std::lock_guard<std::mutex> lock(watchdog_mutex_);
  field = std::move(socket);
}

// The field is emptied under the watchdog's lock before the socket is
// closed, so the watchdog never shuts down a number already reused.
void CFtpConnection::CloseSocket(Countdown& countdown, net::Socket& field) {
  Disarm(countdown);
  net::Socket closing;
  {
    std::lock_guard<std::mutex> lock(watchdog_mutex_);
    closing = std::move(field);
  }
  closing.Close();
}

int CFtpConnection::ConnectSocket(net::Endpoint to, int timeout_ticks, net::Socket& socket_out,
                                  FtpTextOut error) {
  net::Socket socket;
  if (net::OpenStream(socket) != 0) {
    error.Set("Unable to allocate a TCP/IP socket");
    return kFtpNoSocket;
  }
  int failure = net::ConnectWithin(socket, to, timeout_ticks * kTickMilliseconds);
  if (failure == 0) {
    SetSocketOptions(socket);
    socket_out = std::move(socket);
    return kFtpOk;
  }
  socket.Close();
  switch (failure) {
    case EADDRINUSE:
      error.Set("Error: Port address already in use");
      return kFtpAddressUnavailable;
    case EADDRNOTAVAIL:
      error.Set("Error: Address not available");
      return kFtpAddressUnavailable;
    case ETIMEDOUT:
      error.Set("Error: timeout");
      return kFtpTimeout;
    case ECONNREFUSED:
      error.Set("Error: Connection refused");
      return kFtpCannotConnect;
    default:
      error.Set("Connectrion error " + std::to_string(failure));
      return kFtpCannotConnect;
  }
}

// --- Connection -------------------------------------------------------------

int CFtpConnection::Connect(std::string_view host, std::string_view name,
                            std::string_view password, bool passive, std::string* greeting,
                            FtpTextOut error) {
  CloseControl();
  CloseData();
  passive_ = passive;
  reply_text_.clear();
  if (greeting) greeting->clear();
  error.Set("");

  server_address_ = HostToAddress(host);
  if (server_address_ == 0) {
    error.Set("Unable to translate \"" + std::string(host) + "\" to an IP address");
    return kFtpBadAddress;
  }
  net::Socket socket;
  int status = ConnectSocket({server_address_, port_}, kConnectTimeoutTicks, socket, error);
  if (status != kFtpOk) {
    error.Set("Error opening socket to port " + std::to_string(port_) + " on server");
    return status;
  }
  SetSocket(control_socket_, std::move(socket));
  StartWatchdog();

  int reply = ReadReply(error);
  if (greeting) *greeting = reply_text_;
  if (!IsReplyClass(reply, 2)) {
    CloseControl();
    return kFtpCannotConnect;
  }

  bool logged_on = false;
  reply = SendCommandGetCode("USER " + std::string(name), error);
  if (IsReplyClass(reply, 2)) {
    logged_on = true;
  } else if (IsReplyClass(reply, 3)) {
    reply = SendCommandGetCode("PASS " + std::string(password), error);
    if (IsReplyClass(reply, 2)) {
      logged_on = true;
    } else if (IsReplyClass(reply, 3)) {
      reply = SendCommandGetCode("ACCT " + std::string(name), error);
      logged_on = IsReplyClass(reply, 2);
    }
  }
  if (!logged_on) {
    CloseControl();
    return kFtpLogonFailed;
  }
  flags_ |= kLoggedOn;
  return kFtpOk;
}

void CFtpConnection::Quit() {
  if (logged_on() && control_open()) FtpWrite("QUIT", {});
  flags_ &= ~kLoggedOn;
  Reset();
}

void CFtpConnection::Reset() {
  StopWatchdog();
  CloseControl();
  CloseData();
  ResetFields();
}

void CFtpConnection::ResetFields() {
  reply_text_.clear();
  server_address_ = 0;
  Disarm(control_countdown_);
  Disarm(data_countdown_);
  control_countdown_.expired = false;
  data_countdown_.expired = false;
  flags_ = 0;
  log_callback_ = nullptr;
  log_context_ = nullptr;
  detailed_log_ = false;
  passive_ = false;
  passive_port_ = 0;
}

void CFtpConnection::FtpLog(std::string_view text) {
  if (!log_callback_) return;
  std::string line = FormatTime("%X  ", NowLocalSeconds());
  line.append(text);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' ')) {
    line.pop_back();
  }
  log_callback_(CutUtf8(line, 200), 0, log_context_);
}

// --- Commands and replies ---------------------------------------------------

int CFtpConnection::FtpWrite(std::string_view command, FtpTextOut error) {
  // A line break inside a command would smuggle in a second command.
  if (command.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
    return kFtpIoError;
  }
  std::string line(command);
  line.append("\r\n");
  Arm(control_countdown_, command_timeout_);
  const net::Transfer sent = net::SendAll(control_socket_, line);
  Disarm(control_countdown_);
  if (sent.error == 0) return kFtpOk;
  if (control_countdown_.expired) {
    error.Set("Timeout while writing to server");
    CloseControl();
  }
  return kFtpIoError;
}

int CFtpConnection::ReadLine(std::string& line, FtpTextOut error) {
  line.clear();
  for (;;) {
    char c;
    Arm(control_countdown_, command_timeout_);
    const net::Transfer got = net::Receive(control_socket_, &c, 1);
    Disarm(control_countdown_);
    if (got.bytes == 1) {
      if (c == '\n') return kFtpOk;
      if (c == '\r') continue;
      if (line.size() >= kReplyLineSize - 2) {
        if (detailed_log_) FtpLog("Command buffer overflow\n");
        return kFtpLineTooLong;
      }
      line += c;
      continue;
    }
    if (control_countdown_.expired) {
      error.Set("Timeout occurred while reading from server");
      if (detailed_log_) FtpLog("Command read timeout\n");
      CloseControl();
      return kFtpConnectionClosed;
    }
    if (got.error == 0) {
      error.Set("Server closed the connection");
      return kFtpConnectionClosed;
    }
    error.Set("Received error code " + std::to_string(got.error) + " on read from server");
    return kFtpIoError;
  }
}

int CFtpConnection::ReadReply(FtpTextOut out) {
  std::string line;
  int status = ReadLine(line, out);
  if (status != kFtpOk) return status;
  if (line.size() >= 4 && line[3] == '-') {
    line[3] = ' ';
    const std::string prefix = line.substr(0, 4);
    CTextBuffer text;
    auto add = [&](std::string_view part) {
      if (text.length() + part.size() + 2 > kMaxReplyText) return;
      text.AppendText(part);
      text.AppendText("\r\n");
    };
    add(line);
    for (;;) {
      status = ReadLine(line, out);
      if (status != kFtpOk) return status;
      if (line.compare(0, 4, prefix) == 0) {
        add(std::string_view(line).substr(4));
        break;
      }
      add(line);
    }
    reply_text_ = text.CopyOut();
  } else {
    reply_text_ = line;
  }
  out.Set(reply_text_);
  return LeadingNumber(reply_text_);
}

int CFtpConnection::Exchange(std::string_view command, FtpTextOut reply, bool& write_failed) {
  write_failed = true;
  if (!control_open()) return kFtpNotConnected;
  if (detailed_log_) {
    std::string shown(command);
    for (std::string_view verb : {"USER ", "PASS ", "ACCT "}) {
      if (command.substr(0, verb.size()) == verb) shown = std::string(verb) + "******";
    }
    FtpLog("Send: " + shown + "\n");
  }
  int status = FtpWrite(command, reply);
  if (status != kFtpOk) return status;
  write_failed = false;
  int result = ReadReply(reply);
  if (detailed_log_ && !reply_text_.empty()) FtpLog("Receive: " + reply_text_ + "\n");
  return result;
}

int CFtpConnection::SendCommandGetCode(std::string_view command, FtpTextOut reply) {
  bool write_failed = false;
  return Exchange(command, reply, write_failed);
}

int CFtpConnection::SendCommand(std::string_view command, FtpTextOut reply) {
  bool write_failed = false;
  int result = Exchange(command, reply, write_failed);
  if (write_failed) return result;
  return IsReplyClass(result, 2) ? kFtpOk : kFtpCommandFailed;
}

void CFtpConnection::SkipClosingReply() {
  if (!control_open()) return;
  int saved = command_timeout_;
  command_timeout_ = data_timeout_;
  ReadReply({});
  command_timeout_ = saved;
}

int CFtpConnection::ChangeDir(std::string_view folder, FtpTextOut reply) {
  return SendCommand("CWD " + std::string(folder), reply);
}

int CFtpConnection::DeleteRemoteFile(std::string_view name, FtpTextOut reply) {
  return SendCommand("DELE " + std::string(name), reply);
}

// --- Data connections -------------------------------------------------------

int CFtpConnection::OpenDataConnection(FtpTextOut reply) {
  if (!control_open()) return kFtpNotConnected;
  CloseData();
  if (passive_) return OpenPassiveConnection(reply);

  Disarm(data_countdown_);
  net::Socket socket;
  if (net::OpenStream(socket) != 0) return kFtpNoSocket;
  net::SetKeepAlive(socket);
  // Listen on the address the server already reaches us at.
  net::Endpoint local;
  net::LocalEndpoint(control_socket_, local);
  local.port = 0;
  if (detailed_log_) FtpLog("Binding data socket\n");
  if (net::Bind(socket, local) != 0) return kFtpCannotBind;
  net::LocalEndpoint(socket, local);
  if (detailed_log_) FtpLog("Listening on data socket\n");
  if (net::StartListening(socket, 5) != 0) return kFtpCannotListen;
  SetSocketOptions(socket);
  SetSocket(data_socket_, std::move(socket));

  unsigned char address[4];
  std::memcpy(address, &local.address, 4);
  const int port = local.port;
  if (detailed_log_) FtpLog("Sending PORT command for data socket\n");
  int status = SendCommand("PORT " + std::to_string(address[0]) + "," + std::to_string(address[1]) +
                               "," + std::to_string(address[2]) + "," +
                               std::to_string(address[3]) + "," + std::to_string(port >> 8) +
                               "," + std::to_string(port & 0xff),
                           reply);
  if (status != kFtpOk) CloseData();
  return status;
}

namespace {

// The port of a "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)" reply; 0
// when the six numbers do not read as bytes.
int PassivePort(std::string_view text) {
  std::size_t open = text.find('(');
  if (open == std::string_view::npos) return 0;
  int numbers[6];
  std::size_t pos = open + 1;
  for (int i = 0; i < 6; ++i) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    if (i > 0) {
      if (pos >= text.size() || text[pos] != ',') return 0;
      ++pos;
      while (pos < text.size() && text[pos] == ' ') ++pos;
    }
    std::size_t start = pos;
    int value = 0;
    while (pos < text.size() && pos - start < 3 && text[pos] >= '0' && text[pos] <= '9') {
      value = value * 10 + (text[pos++] - '0');
    }
    if (pos == start || value > 255) return 0;
    numbers[i] = value;
  }
  return numbers[4] * 256 + numbers[5];
}

}  // namespace

// The data connection goes to the address the control connection reached;
// the address in the reply is ignored, so a server cannot point the client
// at a third host.
int CFtpConnection::OpenPassiveConnection(FtpTextOut reply) {
  int result = SendCommandGetCode("PASV", reply);
  if (result != 227) return kFtpPassiveRefused;
  int port = PassivePort(reply_text_);
  if (port <= 0) return kFtpPassiveRefused;
  passive_port_ = port;

  net::Endpoint peer;
  if (net::PeerEndpoint(control_socket_, peer) != 0) return kFtpIoError;
  peer.port = port;
  net::Socket socket;
  int status = ConnectSocket(peer, data_timeout_, socket, reply);
  if (status != kFtpOk) return status;
  SetSocket(data_socket_, std::move(socket));
  return kFtpOk;
}

int CFtpConnection::AcceptDataConnection(FtpTextOut reply) {
  if (passive_) return kFtpOk;
  Arm(data_countdown_, data_timeout_);
  if (detailed_log_) FtpLog("Doing accept for data socket\n");
  net::Socket socket;
  const int error = net::Accept(data_socket_, socket);
  Disarm(data_countdown_);
  if (error != 0 || data_countdown_.expired) {
    socket.Close();
    if (data_countdown_.expired) reply.Set("Timeout while waiting to accept connection");
    if (detailed_log_) FtpLog("Error " + std::to_string(error) + " on accept\n");
    return kFtpAcceptFailed;
  }
  // Anyone may connect to a listening port: only the server the control
  // connection reached may deliver the data.
  net::Endpoint server, peer;
  if (net::PeerEndpoint(control_socket_, server) != 0 || net::PeerEndpoint(socket, peer) != 0 ||
      peer.address != server.address) {
    socket.Close();
    reply.Set("Data connection from " + net::FormatIpv4(peer.address) + " refused");
    if (detailed_log_) FtpLog("Data connection from another host refused\n");
    return kFtpAcceptFailed;
  }
  CloseData();
  SetSocket(data_socket_, std::move(socket));
  if (detailed_log_) FtpLog("Accepted data connection\n");
  return kFtpOk;
}

net::Transfer CFtpConnection::ReceiveDataBlock(char* block, std::size_t size) {
  Arm(data_countdown_, data_timeout_);
  const net::Transfer got = net::Receive(data_socket_, block, size);
  Disarm(data_countdown_);
  return got;
}

int CFtpConnection::ReadDataToMemory(CTextBuffer& data, FtpTextOut reply) {
  char block[kBlockSize];
  for (;;) {
    const net::Transfer got = ReceiveDataBlock(block, sizeof block);
    if (data_countdown_.expired) {
      reply.Set("Timeout while reading data from server");
      return kFtpIoError;
    }
    if (got.error != 0) return kFtpIoError;
    if (got.bytes == 0) return kFtpOk;
    if (static_cast<std::size_t>(data.length()) + got.bytes > kMaxListing) return kFtpIoError;
    data.AppendBytes(block, got.bytes);
  }
}

int CFtpConnection::ReceiveFile(const std::string& local_path, FtpTextOut reply) {
  std::FILE* file = std::fopen(local_path.c_str(), "wb");
  if (file == nullptr) {
    reply.Set("Cannot open file: " + local_path);
    return kFtpNoSuchFile;
  }
  char block[kBlockSize];
  int status = kFtpOk;
  for (;;) {
    const net::Transfer got = ReceiveDataBlock(block, sizeof block);
    if (data_countdown_.expired) {
      reply.Set("Timeout while reading data from server");
      status = kFtpIoError;
      break;
    }
    if (got.error != 0) {
      reply.Set("Recv error status = " + std::to_string(got.error));
      status = kFtpIoError;
      break;
    }
    if (got.bytes == 0) break;
    if (std::fwrite(block, 1, got.bytes, file) != got.bytes) {
      status = kFtpIoError;
      break;
    }
  }
  // A file that could not be completed is not left to pass for a log.
  if (std::fclose(file) != 0 && status == kFtpOk) status = kFtpIoError;
  if (status != kFtpOk) std::remove(local_path.c_str());
  return status;
}

std::unique_ptr<CRemoteFileList> CFtpConnection::List(std::string_view argument, FtpTextOut reply) {
  auto list = std::make_unique<CRemoteFileList>();
  if (OpenDataConnection(reply) != kFtpOk) return list;
  int result = SendCommandGetCode(argument.empty() ? std::string("LIST")
                                                   : "LIST " + std::string(argument),
                                  reply);
  if (!IsReplyClass(result, 1)) {
    CloseData();
    return list;
  }
  if (AcceptDataConnection(reply) != kFtpOk) {
    CloseData();
    SkipClosingReply();
    return list;
  }
  CTextBuffer data;
  int status = ReadDataToMemory(data, reply);
  CloseData();
  if (status != kFtpOk) {
    SkipClosingReply();
    return list;
  }
  if (IsReplyClass(ReadReply(reply), 2)) ParseListing(data.view(), NowLocalSeconds(), *list);
  return list;
}

int CFtpConnection::RetrieveFile(const std::string& local_path, std::string_view remote_name,
                                 std::string_view type, FtpTextOut reply) {
  flags_ &= ~kAscii;
  if (type.find_first_of("aA") != std::string_view::npos) flags_ |= kAscii;
  if (!control_open()) return kFtpNotConnected;

  int status = OpenDataConnection(reply);
  if (status != kFtpOk) return status;
  status = SendCommand((flags_ & kAscii) ? "TYPE A" : "TYPE I", reply);
  if (status != kFtpOk) {
    CloseData();
    return status;
  }
  int result = SendCommandGetCode("RETR " + std::string(remote_name), reply);
  if (result == 550) {
    CloseData();
    return kFtpNoSuchFile;
  }
  if (!IsReplyClass(result, 1)) {
    CloseData();
    return kFtpCommandFailed;
  }
  status = AcceptDataConnection(reply);
  if (status == kFtpOk) status = ReceiveFile(local_path, reply);
  CloseData();
  if (status != kFtpOk) {
    SkipClosingReply();
    return status;
  }
  if (IsReplyClass(ReadReply(reply), 2)) return kFtpOk;
  // The server reports the transfer as failed: what arrived is not the file.
  std::remove(local_path.c_str());
  return kFtpCommandFailed;
}

}  // namespace tf
