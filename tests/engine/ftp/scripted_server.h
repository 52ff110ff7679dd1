// A one-connection FTP server whose every reply a test writes out, for the
// exact paths a real server never takes (odd greetings, refused commands,
// bad PASV replies, silence). It listens on 127.0.0.1; its thread accepts
// one control connection and runs the test's script on it.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tf::test {

// The script's side of the control connection and of one data connection.
// Every wait is bounded, so a client that misbehaves fails the test instead
// of hanging it.
class ScriptedLink {
 public:
  explicit ScriptedLink(int control) : control_(control) {}
  ~ScriptedLink();

  // Sends the line with CR LF.
  void Reply(std::string_view line);
  // The next command line without CR LF; "" when the client closed.
  std::string Read();
  // Reads a command and checks it.
  void Expect(std::string_view command);
  // Reads (and records) commands until the client closes the connection.
  void WaitForClose();

  // Passive mode: listens on 127.0.0.1 and gives the 227 reply naming the
  // listener's port with the address bytes given.
  std::string OpenPassive(std::string_view address_bytes = "127,0,0,1");
  void AcceptData();
  // Active mode: connects to the address of a "PORT h1,h2,h3,h4,p1,p2" line,
  // from the given source address (another host than the server's, say).
  void ConnectActive(std::string_view port_command, const char* from = "127.0.0.1");
  void SendData(std::string_view data);
  // Waits until the client closes the data connection.
  void WaitForDataClose();
  void CloseData();

  std::vector<std::string> received;  // every command read

 private:
  bool ReadLine(std::string& line);

  int control_;
  int listener_ = -1;
  int data_ = -1;
};

class ScriptedServer {
 public:
  explicit ScriptedServer(std::function<void(ScriptedLink&)> script);
  // Waits for the script to end.
  ~ScriptedServer();

  int port() const { return port_; }
  // Waits for the script to end and gives the commands it read.
  std::vector<std::string> Finish();

 private:
  int listener_ = -1;
  int port_ = 0;
  std::thread thread_;
  std::vector<std::string> received_;
};

}  // namespace tf::test
