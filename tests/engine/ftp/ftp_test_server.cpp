#include "ftp_test_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <ctime>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace tf::test {

FtpTestServer::FtpTestServer(const std::string& root, int bytes_per_second) {
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  if (pipe2(out, O_CLOEXEC) != 0) {
    close(in[0]);
    close(in[1]);
    throw std::runtime_error("pipe failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  std::vector<std::string> args = {TF_FTP_PYTHON, TF_FTP_SERVER_SCRIPT, root, kUser, kPassword};
  if (bytes_per_second > 0) args.push_back(std::to_string(bytes_per_second));
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int error = posix_spawn(&pid_, TF_FTP_PYTHON, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  stdin_ = in[1];
  if (error != 0) {
    pid_ = -1;
    close(out[0]);
    throw std::runtime_error("cannot start " TF_FTP_PYTHON);
  }

  // The first line is the port; a server that cannot start prints nothing.
  std::string line;
  pollfd wait{out[0], POLLIN, 0};
  char c;
  while (poll(&wait, 1, 60000) > 0 && read(out[0], &c, 1) == 1 && c != '\n') line += c;
  close(out[0]);
  port_ = std::atoi(line.c_str());
  if (port_ <= 0) {
    Stop();
    throw std::runtime_error("the test FTP server did not start (is python3-pyftpdlib installed?)");
  }
}

FtpTestServer::~FtpTestServer() { Stop(); }

void FtpTestServer::Stop() {
  if (stdin_ >= 0) close(stdin_);
  stdin_ = -1;
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
  }
}

void SetFileTime(const std::string& path, int year, int month, int day, int hour, int minute) {
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_isdst = -1;
  utimbuf times{};
  times.actime = times.modtime = std::mktime(&parts);
  if (utime(path.c_str(), &times) != 0) throw std::runtime_error("cannot set the time of " + path);
}

}  // namespace tf::test
