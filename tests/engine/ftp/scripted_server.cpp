#include "scripted_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace tf::test {
namespace {

constexpr int kWaitMs = 30000;

bool WaitReadable(int socket) {
  pollfd wait{socket, POLLIN, 0};
  return poll(&wait, 1, kWaitMs) > 0;
}

int ListenOnLoopback(int& port) {
  int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (socket < 0 || bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(socket, 5) != 0 ||
      getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  return socket;
}

int AcceptWithin(int listener) {
  if (!WaitReadable(listener)) return -1;
  return accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}

void CloseSocket(int& socket) {
  if (socket >= 0) close(socket);
  socket = -1;
}

}  // namespace

ScriptedLink::~ScriptedLink() {
  CloseData();
  CloseSocket(listener_);
}

void ScriptedLink::Reply(std::string_view line) {
  std::string text(line);
  text += "\r\n";
  send(control_, text.data(), text.size(), MSG_NOSIGNAL);
}

bool ScriptedLink::ReadLine(std::string& line) {
  line.clear();
  char c;
  while (WaitReadable(control_) && recv(control_, &c, 1, 0) == 1) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      received.push_back(line);
      return true;
    }
    line += c;
  }
  return false;
}

std::string ScriptedLink::Read() {
  std::string line;
  return ReadLine(line) ? line : "";
}

void ScriptedLink::Expect(std::string_view command) { EXPECT_EQ(Read(), command); }

void ScriptedLink::WaitForClose() {
  std::string line;
  while (ReadLine(line)) {
  }
}

std::string ScriptedLink::OpenPassive(std::string_view address_bytes) {
  CloseSocket(listener_);
  int port = 0;
  listener_ = ListenOnLoopback(port);
  char reply[128];
  std::snprintf(reply, sizeof reply, "227 Entering Passive Mode (%.*s,%d,%d).",
                static_cast<int>(address_bytes.size()), address_bytes.data(), port >> 8, port & 0xff);
  return reply;
}

void ScriptedLink::AcceptData() {
  data_ = AcceptWithin(listener_);
  EXPECT_GE(data_, 0) << "no data connection";
}

void ScriptedLink::ConnectActive(std::string_view port_command, const char* from) {
  int h1, h2, h3, h4, p1, p2;
  std::string text(port_command);
  ASSERT_EQ(std::sscanf(text.c_str(), "PORT %d,%d,%d,%d,%d,%d", &h1, &h2, &h3, &h4, &p1, &p2), 6);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(p1 * 256 + p2));
  address.sin_addr.s_addr = htonl((h1 << 24) | (h2 << 16) | (h3 << 8) | h4);
  data_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in source{};
  source.sin_family = AF_INET;
  ASSERT_EQ(inet_pton(AF_INET, from, &source.sin_addr), 1);
  ASSERT_EQ(bind(data_, reinterpret_cast<sockaddr*>(&source), sizeof source), 0);
  ASSERT_EQ(connect(data_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
}

void ScriptedLink::SendData(std::string_view data) {
  send(data_, data.data(), data.size(), MSG_NOSIGNAL);
}

void ScriptedLink::WaitForDataClose() {
  char block[256];
  while (WaitReadable(data_) && recv(data_, block, sizeof block, 0) > 0) {
  }
}

void ScriptedLink::CloseData() { CloseSocket(data_); }

ScriptedServer::ScriptedServer(std::function<void(ScriptedLink&)> script) {
  listener_ = ListenOnLoopback(port_);
  thread_ = std::thread([this, script = std::move(script)] {
    int control = AcceptWithin(listener_);
    if (control < 0) return;
    {
      ScriptedLink link(control);
      script(link);
      received_ = link.received;
    }
    close(control);
  });
}

ScriptedServer::~ScriptedServer() {
  if (thread_.joinable()) thread_.join();
  CloseSocket(listener_);
}

std::vector<std::string> ScriptedServer::Finish() {
  if (thread_.joinable()) thread_.join();
  return received_;
}

}  // namespace tf::test
