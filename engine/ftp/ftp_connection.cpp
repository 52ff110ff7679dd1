#include "engine/ftp/ftp_connection.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "engine/analysis/text_buffer.h"
#include "engine/common/address.h"
#include "engine/common/text.h"
#include "engine/ftp/ftp_listing.h"
#include "engine/logs/time_value.h"

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

void SetSocketOptions(int socket) {
  linger wait{1, 120};
  setsockopt(socket, SOL_SOCKET, SO_LINGER, &wait, sizeof wait);
  int on = 1;
  setsockopt(socket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
}

sockaddr_in MakeAddress(std::uint32_t address, int port) {
  sockaddr_in in{};
  in.sin_family = AF_INET;
  in.sin_port = htons(static_cast<std::uint16_t>(port));
  std::memcpy(&in.sin_addr.s_addr, &address, 4);  // first number in the lowest byte
  return in;
}

void ShutAndClose(int socket) {
  if (socket < 0) return;
  shutdown(socket, SHUT_RDWR);
  close(socket);
}

// Connects with a time-out of its own, so that no connect can hang for the
// system's long default, and leaves the socket blocking.
int ConnectWithin(int socket, const sockaddr_in& to, int timeout_ms) {
  int flags = fcntl(socket, F_GETFL, 0);
  if (flags < 0 || fcntl(socket, F_SETFL, flags | O_NONBLOCK) < 0) return errno;
  int error = 0;
  if (connect(socket, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
    error = errno;
    if (error == EINPROGRESS) {
      pollfd wait{socket, POLLOUT, 0};
      int ready;
      do {
        ready = poll(&wait, 1, timeout_ms);
      } while (ready < 0 && errno == EINTR);
      if (ready == 0) {
        error = ETIMEDOUT;
      } else if (ready < 0) {
        error = errno;
      } else {
        socklen_t length = sizeof error;
        if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
      }
    }
  }
  if (error == 0 && fcntl(socket, F_SETFL, flags) < 0) error = errno;
  return error;
}

}  // namespace

void FtpTextOut::Set(std::string_view value) const {
  if (text == nullptr) return;
  *text = std::string(CutUtf8(value, size > 0 ? size - 1 : 0));
}

CFtpConnection::CFtpConnection() = default;

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
void CFtpConnection::Tick(Countdown& countdown, const int& socket) {
  int ticks = countdown.ticks.load();
  if (ticks <= 0 || !countdown.ticks.compare_exchange_strong(ticks, ticks - 1)) return;
  if (ticks == 1) {
    countdown.expired = true;
    if (socket >= 0) shutdown(socket, SHUT_RDWR);
  }
}

void CFtpConnection::Arm(Countdown& countdown, int ticks) {
  countdown.expired = false;
  countdown.ticks = ticks;
}

// --- Sockets ----------------------------------------------------------------

void CFtpConnection::SetSocket(int& field, int socket) {
  std::lock_guard<std::mutex> lock(watchdog_mutex_);
  field = socket;
}

// The field is cleared under the watchdog's lock before the socket is
// closed, so the watchdog never shuts down a number already reused.
void CFtpConnection::CloseSocket(Countdown& countdown, int& field) {
  Disarm(countdown);
  int socket = field;
  SetSocket(field, -1);
  ShutAndClose(socket);
}

int CFtpConnection::ConnectSocket(std::uint32_t address, int port, int timeout_ticks,
                                  int& socket_out, FtpTextOut error) {
  int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket < 0) {
    error.Set("Unable to allocate a TCP/IP socket");
    return kFtpNoSocket;
  }
  int failure = ConnectWithin(socket, MakeAddress(address, port), timeout_ticks * kTickMilliseconds);
  if (failure == 0) {
    SetSocketOptions(socket);
    socket_out = socket;
    return kFtpOk;
  }
  ShutAndClose(socket);
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
  int socket = -1;
  int status = ConnectSocket(server_address_, port_, kConnectTimeoutTicks, socket, error);
  if (status != kFtpOk) {
    error.Set("Error opening socket to port " + std::to_string(port_) + " on server");
    return status;
  }
  SetSocket(control_socket_, socket);
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
  std::size_t sent = 0;
  Arm(control_countdown_, command_timeout_);
  while (sent < line.size()) {
    ssize_t n = send(control_socket_, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR && !control_countdown_.expired) {
      continue;
    } else {
      break;
    }
  }
  Disarm(control_countdown_);
  if (sent == line.size()) return kFtpOk;
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
    ssize_t n = recv(control_socket_, &c, 1, 0);
    Disarm(control_countdown_);
    if (n == 1) {
      if (c == '\n') return kFtpOk;
      if (c == '\r') continue;
      if (line.size() >= kReplyLineSize - 2) {
        if (detailed_log_) FtpLog("Command buffer overflow\n");
        return kFtpLineTooLong;
      }
      line += c;
      continue;
    }
    if (n < 0 && errno == EINTR && !control_countdown_.expired) continue;
    if (control_countdown_.expired) {
      error.Set("Timeout occurred while reading from server");
      if (detailed_log_) FtpLog("Command read timeout\n");
      CloseControl();
      return kFtpConnectionClosed;
    }
    if (n == 0) {
      error.Set("Server closed the connection");
      return kFtpConnectionClosed;
    }
    error.Set("Received error code " + std::to_string(errno) + " on read from server");
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
  int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket < 0) return kFtpNoSocket;
  int on = 1;
  setsockopt(socket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  // Listen on the address the server already reaches us at.
  sockaddr_in local{};
  socklen_t length = sizeof local;
  getsockname(control_socket_, reinterpret_cast<sockaddr*>(&local), &length);
  local.sin_port = 0;
  if (detailed_log_) FtpLog("Binding data socket\n");
  if (bind(socket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    ShutAndClose(socket);
    return kFtpCannotBind;
  }
  length = sizeof local;
  getsockname(socket, reinterpret_cast<sockaddr*>(&local), &length);
  if (detailed_log_) FtpLog("Listening on data socket\n");
  if (listen(socket, 5) != 0) {
    ShutAndClose(socket);
    return kFtpCannotListen;
  }
  SetSocketOptions(socket);
  SetSocket(data_socket_, socket);

  unsigned char address[4];
  std::memcpy(address, &local.sin_addr.s_addr, 4);
  const int port = ntohs(local.sin_port);
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

  sockaddr_in peer{};
  socklen_t length = sizeof peer;
  if (getpeername(control_socket_, reinterpret_cast<sockaddr*>(&peer), &length) != 0) {
    return kFtpIoError;
  }
  std::uint32_t address = 0;
  std::memcpy(&address, &peer.sin_addr.s_addr, 4);
  int socket = -1;
  int status = ConnectSocket(address, port, data_timeout_, socket, reply);
  if (status != kFtpOk) return status;
  SetSocket(data_socket_, socket);
  return kFtpOk;
}

int CFtpConnection::AcceptDataConnection(FtpTextOut reply) {
  if (passive_) return kFtpOk;
  Arm(data_countdown_, data_timeout_);
  if (detailed_log_) FtpLog("Doing accept for data socket\n");
  int socket;
  do {
    socket = accept4(data_socket_, nullptr, nullptr, SOCK_CLOEXEC);
  } while (socket < 0 && errno == EINTR && !data_countdown_.expired);
  int error = errno;
  Disarm(data_countdown_);
  if (socket < 0 || data_countdown_.expired) {
    ShutAndClose(socket);
    if (data_countdown_.expired) reply.Set("Timeout while waiting to accept connection");
    if (detailed_log_) FtpLog("Error " + std::to_string(error) + " on accept\n");
    return kFtpAcceptFailed;
  }
  CloseData();
  SetSocket(data_socket_, socket);
  if (detailed_log_) FtpLog("Accepted data connection\n");
  return kFtpOk;
}

int CFtpConnection::ReadDataToMemory(CTextBuffer& data, FtpTextOut reply) {
  char block[kBlockSize];
  for (;;) {
    Arm(data_countdown_, data_timeout_);
    ssize_t n = recv(data_socket_, block, sizeof block, 0);
    Disarm(data_countdown_);
    if (data_countdown_.expired) {
      reply.Set("Timeout while reading data from server");
      return kFtpIoError;
    }
    if (n > 0) {
      if (static_cast<std::size_t>(data.length()) + static_cast<std::size_t>(n) > kMaxListing) {
        return kFtpIoError;
      }
      data.AppendBytes(block, static_cast<std::size_t>(n));
    } else if (n == 0) {
      return kFtpOk;
    } else if (errno != EINTR) {
      return kFtpIoError;
    }
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
    Arm(data_countdown_, data_timeout_);
    ssize_t n = recv(data_socket_, block, sizeof block, 0);
    int error = errno;
    Disarm(data_countdown_);
    if (data_countdown_.expired) {
      reply.Set("Timeout while reading data from server");
      status = kFtpIoError;
      break;
    }
    if (n > 0) {
      if (std::fwrite(block, 1, static_cast<std::size_t>(n), file) != static_cast<std::size_t>(n)) {
        status = kFtpIoError;
        break;
      }
    } else if (n == 0) {
      break;
    } else if (error != EINTR) {
      reply.Set("Recv error status = " + std::to_string(error));
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
