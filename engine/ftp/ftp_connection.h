// CFtpConnection: one logged-on FTP control connection and its data
// connections (active PORT or passive PASV), with blocking socket calls
// bounded by a watchdog thread.
//
// The watchdog counts down two time-outs in ticks of 500 ms, one for the
// control socket and one for the data socket; the thread using the
// connection arms a countdown before each blocking call and disarms it after.
// When a countdown runs out the watchdog shuts that socket down, which makes
// the blocking call return; only the owning thread ever closes a socket, so
// a socket number is never closed twice or reused under a blocked call.
//
// Everything from the server (replies, listings, data) is untrusted: reply
// lines are bounded, a multi-line reply keeps at most kMaxReplyText bytes of
// text and a listing at most kMaxListing bytes.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "engine/ftp/ftp_status.h"
#include "engine/ftp/remote_file_list.h"
#include "platform/net/socket.h"

namespace tf {

class CTextBuffer;

// The callback of detailed logs and download messages: (text, a flag that
// is always 0, the context given with it); false asks the caller to stop.
using FtpMessageCallback = std::function<bool(std::string_view text, int flag, void* context)>;

// Where an operation leaves a text for its caller (an error text or the
// server's reply): at most size - 1 bytes, like the caller's fixed field.
struct FtpTextOut {
  std::string* text = nullptr;
  std::size_t size = 0;
  void Set(std::string_view value) const;
};

class CFtpConnection {
 public:
  static constexpr int kDefaultPort = 21;
  static constexpr int kTickMilliseconds = 500;
  static constexpr int kCommandTimeoutTicks = 7200;  // one hour
  static constexpr int kDataTimeoutTicks = 120;      // one minute
  static constexpr int kConnectTimeoutTicks = 240;
  static constexpr std::size_t kReplyLineSize = 512;
  static constexpr std::size_t kMaxReplyText = 64 * 1024;
  static constexpr std::size_t kMaxListing = 32 * 1024 * 1024;

  CFtpConnection();
  ~CFtpConnection();
  CFtpConnection(const CFtpConnection&) = delete;
  CFtpConnection& operator=(const CFtpConnection&) = delete;

  // Connects to the host (name or dotted address) and logs on with USER,
  // then PASS and ACCT when the server asks for them. The greeting's text
  // goes to *greeting when given. 0 or a status.
  int Connect(std::string_view host, std::string_view name, std::string_view password,
              bool passive, std::string* greeting, FtpTextOut error);
  // Detailed logging sends every command (passwords masked) and reply.
  void SetLogCallback(FtpMessageCallback callback, void* context, bool detailed);

  int ChangeDir(std::string_view folder, FtpTextOut reply);
  // The remote folder's entries ("LIST" with the argument when not empty);
  // an empty list on any failure.
  std::unique_ptr<CRemoteFileList> List(std::string_view argument, FtpTextOut reply);
  // Fetches the remote file into local_path, in ASCII mode when the type
  // text holds 'a' or 'A', else binary. A failed transfer leaves no local
  // file behind.
  int RetrieveFile(const std::string& local_path, std::string_view remote_name,
                   std::string_view type, FtpTextOut reply);
  int DeleteRemoteFile(std::string_view name, FtpTextOut reply);

  // Sends "QUIT" when logged on, then Reset.
  void Quit();
  // Stops the watchdog, closes both sockets and restores the new state.
  void Reset();

  // The server's port (21 unless overridden, as tests do, also through
  // TALLYFOX_FTP_PORT for a whole program) and the two
  // time-outs in ticks; none is part of a site's settings and Reset keeps
  // them.
  void set_port(int port) { port_ = port; }
  int port() const { return port_; }
  void set_timeouts(int command_ticks, int data_ticks);

  bool logged_on() const { return (flags_ & kLoggedOn) != 0; }
  bool control_open() const { return control_socket_.is_open(); }
  bool data_open() const { return data_socket_.is_open(); }
  const std::string& reply_text() const { return reply_text_; }
  int passive_port() const { return passive_port_; }

 private:
  enum Flags : std::uint32_t { kAscii = 1, kLoggedOn = 2 };
  struct Countdown {
    std::atomic<int> ticks{0};
    std::atomic<bool> expired{false};
  };

  // Watchdog.
  void StartWatchdog();
  void StopWatchdog();
  void WatchdogLoop();
  void Tick(Countdown& countdown, const net::Socket& socket);
  void Arm(Countdown& countdown, int ticks);
  void Disarm(Countdown& countdown) { countdown.ticks = 0; }

  // Sockets.
  int ConnectSocket(net::Endpoint to, int timeout_ticks, net::Socket& socket_out,
                    FtpTextOut error);
  void SetSocket(net::Socket& field, net::Socket socket);
  void CloseSocket(Countdown& countdown, net::Socket& field);
  void CloseControl() { CloseSocket(control_countdown_, control_socket_); }
  void CloseData() { CloseSocket(data_countdown_, data_socket_); }

  // Commands and replies.
  int FtpWrite(std::string_view command, FtpTextOut error);
  int ReadLine(std::string& line, FtpTextOut error);
  int ReadReply(FtpTextOut out);
  // One command and its reply: the reply's number, or a status when the
  // write (write_failed set) or the read failed.
  int Exchange(std::string_view command, FtpTextOut reply, bool& write_failed);
  // The reply's number or a status below 100.
  int SendCommandGetCode(std::string_view command, FtpTextOut reply);
  // 0 for a 2xx reply, the write's status, else kFtpCommandFailed.
  int SendCommand(std::string_view command, FtpTextOut reply);
  // After a failed transfer the server still sends its closing reply; it is
  // read (waiting no longer than the data time-out) so that the next
  // command's reply is not mistaken for it.
  void SkipClosingReply();

  // Data connections.
  int OpenDataConnection(FtpTextOut reply);
  int OpenPassiveConnection(FtpTextOut reply);
  int AcceptDataConnection(FtpTextOut reply);
  // One receive on the data connection, bounded by the data time-out.
  net::Transfer ReceiveDataBlock(char* block, std::size_t size);
  int ReadDataToMemory(CTextBuffer& data, FtpTextOut reply);
  int ReceiveFile(const std::string& local_path, FtpTextOut reply);

  void FtpLog(std::string_view text);
  void ResetFields();

  net::Socket control_socket_;
  net::Socket data_socket_;  // the listening socket until accept, then the data connection
  std::string reply_text_;
  std::uint32_t server_address_ = 0;
  Countdown control_countdown_;
  Countdown data_countdown_;
  int command_timeout_ = kCommandTimeoutTicks;
  int data_timeout_ = kDataTimeoutTicks;
  std::uint32_t flags_ = 0;
  FtpMessageCallback log_callback_;
  void* log_context_ = nullptr;
  bool detailed_log_ = false;
  bool passive_ = false;
  int passive_port_ = 0;
  int port_ = kDefaultPort;

  // Guards the socket fields against the watchdog and wakes it to stop.
  std::mutex watchdog_mutex_;
  std::condition_variable watchdog_wake_;
  bool watchdog_stop_ = false;
  std::thread watchdog_;
};

}  // namespace tf
