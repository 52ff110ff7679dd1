// A real FTP server for the client's tests: the system's Python FTP module
// serving one folder to one user on 127.0.0.1 at a free port. The fixture
// starts it as a child process and ends only that process.
#pragma once

#include <sys/types.h>

#include <string>

namespace tf::test {

class FtpTestServer {
 public:
  static constexpr const char* kUser = "loguser";
  static constexpr const char* kPassword = "logpass";

  // Serves `root`, sending downloads at most at `bytes_per_second` when it
  // is above 0; throws when the server does not start.
  explicit FtpTestServer(const std::string& root, int bytes_per_second = 0);
  ~FtpTestServer();
  FtpTestServer(const FtpTestServer&) = delete;
  FtpTestServer& operator=(const FtpTestServer&) = delete;

  int port() const { return port_; }

 private:
  void Stop();

  pid_t pid_ = -1;
  int stdin_ = -1;  // closing it ends the server
  int port_ = 0;
};

// Sets a file's modification time (local time).
void SetFileTime(const std::string& path, int year, int month, int day, int hour, int minute);

}  // namespace tf::test
