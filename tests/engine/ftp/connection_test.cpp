#include "engine/ftp/ftp_connection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ftp_test_server.h"
#include "scripted_server.h"
#include "support/test_support.h"

namespace tf {
namespace {

using test::ScriptedLink;
using test::ScriptedServer;
using Commands = std::vector<std::string>;

void GreetAndLogOn(ScriptedLink& link) {
  link.Reply("220 Ready");
  link.Expect("USER loguser");
  link.Reply("230 Logged on");
}

int ConnectTo(CFtpConnection& ftp, const ScriptedServer& server, bool passive = true,
              std::string* error = nullptr) {
  ftp.set_port(server.port());
  return ftp.Connect("127.0.0.1", "loguser", "secret", passive, nullptr, {error, 200});
}

TEST(FtpConnectionTest, MultiLineGreetingAndLogonWithoutPassword) {
  ScriptedServer server([](ScriptedLink& link) {
    link.Reply("220-Welcome to the log host");
    link.Reply("220-Second line");
    link.Reply("220 Ready");
    link.Expect("USER anonymous");
    link.Reply("230 Logged on without a password");
    link.WaitForClose();
  });
  CFtpConnection ftp;
  ftp.set_port(server.port());
  std::string greeting, error;
  ASSERT_EQ(ftp.Connect("127.0.0.1", "anonymous", "secret", false, &greeting, {&error, 200}), kFtpOk);
  EXPECT_EQ(greeting, "220 Welcome to the log host\r\n220-Second line\r\nReady\r\n");
  EXPECT_TRUE(ftp.logged_on());
  ftp.Quit();
  EXPECT_FALSE(ftp.control_open());
  EXPECT_EQ(server.Finish(), (Commands{"USER anonymous", "QUIT"}));
}

// Sets an environment variable for the test's length.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnvironment() { unsetenv(name_); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
};

TEST(FtpConnectionTest, TheEnvironmentCanPointConnectionsAtATestServer) {
  ScriptedServer server([](ScriptedLink& link) {
    GreetAndLogOn(link);
    link.WaitForClose();
  });
  {
    ScopedEnvironment port("TALLYFOX_FTP_PORT", std::to_string(server.port()));
    CFtpConnection ftp;
    std::string error;
    EXPECT_EQ(ftp.Connect("127.0.0.1", "loguser", "", true, nullptr, {&error, 200}), kFtpOk)
        << error;
    ftp.Reset();
  }
  server.Finish();
  for (const char* value : {"", "ftp", "2121x", "0", "65536"}) {
    ScopedEnvironment port("TALLYFOX_FTP_PORT", value);
    EXPECT_EQ(CFtpConnection().port(), CFtpConnection::kDefaultPort) << "'" << value << "'";
  }
  EXPECT_EQ(CFtpConnection().port(), CFtpConnection::kDefaultPort) << "unset";
}

TEST(FtpConnectionTest, LogonAnswers) {
  struct Case {
    std::vector<const char*> replies;  // to USER, PASS, ACCT in turn
    int status;
    Commands commands;
  };
  const Case cases[] = {
      {{"331 Password", "332 Account", "230 In"}, kFtpOk,
       {"USER loguser", "PASS secret", "ACCT loguser", "QUIT"}},
      {{"331 Password", "230 In"}, kFtpOk, {"USER loguser", "PASS secret", "QUIT"}},
      {{"530 Not you"}, kFtpLogonFailed, {"USER loguser"}},
      {{"331 Password", "530 Wrong"}, kFtpLogonFailed, {"USER loguser", "PASS secret"}},
      {{"331 Password", "332 Account", "331 Again"}, kFtpLogonFailed,
       {"USER loguser", "PASS secret", "ACCT loguser"}},
      {{"120 Later"}, kFtpLogonFailed, {"USER loguser"}},
  };
  for (const Case& c : cases) {
    ScriptedServer server([&](ScriptedLink& link) {
      link.Reply("220 Ready");
      for (const char* reply : c.replies) {
        link.Read();
        link.Reply(reply);
      }
      link.WaitForClose();
    });
    CFtpConnection ftp;
    std::vector<std::string> log;
    ftp.SetLogCallback([&](std::string_view text, int, void*) {
      log.emplace_back(text);
      return true;
    }, nullptr, true);
    std::string error;
    EXPECT_EQ(ConnectTo(ftp, server, false, &error), c.status) << c.replies.back();
    if (c.status != kFtpOk) {
      EXPECT_EQ(error, c.replies.back());  // the server's refusal is the error text
      EXPECT_FALSE(ftp.control_open());
    }
    ftp.Quit();
    EXPECT_EQ(server.Finish(), c.commands) << c.replies.back();
    for (const std::string& line : log) EXPECT_EQ(line.find("secret"), std::string::npos) << line;
  }
}

TEST(FtpConnectionTest, RefusedRetrieveLeavesNoDataSocketAndNoFile) {
  // The PASV reply names 127.0.0.2, where nothing listens: the client must
  // use the control connection's address instead.
  ScriptedServer server([](ScriptedLink& link) {
    GreetAndLogOn(link);
    link.Expect("PASV");
    link.Reply(link.OpenPassive("127,0,0,2"));
    link.AcceptData();
    link.Expect("TYPE I");
    link.Reply("200 Binary");
    link.Expect("RETR missing.log");
    link.Reply("550 No such file");
    link.WaitForDataClose();
    link.WaitForClose();
  });
  CFtpConnection ftp;
  ASSERT_EQ(ConnectTo(ftp, server), kFtpOk);
  test::TempDir dir;
  std::string reply;
  EXPECT_EQ(ftp.RetrieveFile(dir.File("missing.log"), "missing.log", "I", {&reply, 200}),
            kFtpNoSuchFile);
  EXPECT_EQ(reply, "550 No such file");
  EXPECT_FALSE(ftp.data_open());
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.log")));
  ftp.Quit();
}

TEST(FtpConnectionTest, UnreadablePassiveRepliesAreRefused) {
  for (const char* reply : {"227 Entering Passive Mode 127,0,0,1,4,1", "227 (127,0,0,1,4)",
                            "227 (127,0,0,1,999,1)", "227 (127,0,0,1,0,0)", "502 No PASV here",
                            "227 (127,0,0,1,-4,1)", "227 ("}) {
    ScriptedServer server([&](ScriptedLink& link) {
      GreetAndLogOn(link);
      link.Expect("PASV");
      link.Reply(reply);
      link.WaitForClose();
    });
    CFtpConnection ftp;
    ASSERT_EQ(ConnectTo(ftp, server), kFtpOk);
    test::TempDir dir;
    EXPECT_EQ(ftp.RetrieveFile(dir.File("x.log"), "x.log", "I", {}), kFtpPassiveRefused) << reply;
    EXPECT_FALSE(ftp.data_open());
    ftp.Quit();
    EXPECT_EQ(server.Finish(), (Commands{"USER loguser", "PASV", "QUIT"})) << reply;
  }
}

TEST(FtpConnectionTest, ActiveModeDosListing) {
  ScriptedServer server([](ScriptedLink& link) {
    GreetAndLogOn(link);
    std::string port = link.Read();
    EXPECT_EQ(port.rfind("PORT 127,0,0,1,", 0), 0u) << port;
    link.Reply("200 PORT ok");
    link.Expect("LIST");
    link.Reply("150 Here it comes");
    link.ConnectActive(port);
    link.SendData(
        "01-15-07  10:30AM       <DIR>          W3SVC1\r\n"
        "01-15-07  10:30PM                12345 ex070115.log\r\n");
    link.CloseData();
    link.Reply("226 Done");
    link.WaitForClose();
  });
  CFtpConnection ftp;
  ASSERT_EQ(ConnectTo(ftp, server, false), kFtpOk);
  std::unique_ptr<CRemoteFileList> list = ftp.List("", {});
  ASSERT_EQ(list->count(), 2);
  EXPECT_TRUE(list->entries()[0]->is_directory);
  EXPECT_EQ(list->entries()[1]->name, "ex070115.log");
  EXPECT_EQ(list->entries()[1]->size, 12345u);
  EXPECT_EQ(list->entries()[1]->date, ComposeTime(2007, 1, 15, 22, 30, 0));
  EXPECT_FALSE(ftp.data_open());
  ftp.Quit();
}

TEST(FtpConnectionTest, SilentServerTimesOut) {
  ScriptedServer server([](ScriptedLink& link) { link.WaitForClose(); });
  CFtpConnection ftp;
  ftp.set_timeouts(2, 2);
  std::string error;
  EXPECT_EQ(ConnectTo(ftp, server, true, &error), kFtpCannotConnect);
  EXPECT_EQ(error, "Timeout occurred while reading from server");
  EXPECT_FALSE(ftp.control_open());
  ftp.Reset();
}

TEST(FtpConnectionTest, StalledTransferTimesOutAndKeepsTheControlConnection) {
  ScriptedServer server([](ScriptedLink& link) {
    GreetAndLogOn(link);
    link.Expect("PASV");
    link.Reply(link.OpenPassive());
    link.AcceptData();
    link.Expect("TYPE I");
    link.Reply("200 Binary");
    link.Expect("RETR big.log");
    link.Reply("150 Sending");
    link.SendData("the first part of the file and then nothing");
    link.WaitForDataClose();
    link.Reply("426 Transfer aborted");
    link.Expect("DELE other.log");
    link.Reply("250 Deleted");
    link.WaitForClose();
  });
  CFtpConnection ftp;
  ftp.set_timeouts(60, 2);
  ASSERT_EQ(ConnectTo(ftp, server), kFtpOk);
  test::TempDir dir;
  std::string reply;
  EXPECT_EQ(ftp.RetrieveFile(dir.File("big.log"), "big.log", "I", {&reply, 200}), kFtpIoError);
  EXPECT_EQ(reply, "Timeout while reading data from server");
  EXPECT_FALSE(std::filesystem::exists(dir.File("big.log")));  // no partial file
  EXPECT_TRUE(ftp.control_open());
  EXPECT_EQ(ftp.DeleteRemoteFile("other.log", {&reply, 200}), kFtpOk);
  EXPECT_EQ(reply, "250 Deleted");
  ftp.Quit();
}

TEST(FtpConnectionTest, ActiveModeAcceptTimesOut) {
  ScriptedServer server([](ScriptedLink& link) {
    GreetAndLogOn(link);
    link.Read();  // PORT, which the server never connects to
    link.Reply("200 PORT ok");
    link.Expect("LIST");
    link.Reply("150 Here it comes");
    link.Reply("425 Cannot open data connection");
    link.Expect("CWD logs");
    link.Reply("250 Changed");
    link.WaitForClose();
  });
  CFtpConnection ftp;
  ftp.set_timeouts(60, 2);
  ASSERT_EQ(ConnectTo(ftp, server, false), kFtpOk);
  std::string reply;
  EXPECT_EQ(ftp.List("", {&reply, 200})->count(), 0);
  EXPECT_EQ(reply, "Timeout while waiting to accept connection");
  EXPECT_FALSE(ftp.data_open());
  EXPECT_EQ(ftp.ChangeDir("logs", {}), kFtpOk);  // the 425 did not answer the CWD
  ftp.Quit();
}

TEST(FtpConnectionTest, ActiveModeRefusesDataFromAnotherHost) {
  ScriptedServer server([](ScriptedLink& link) {
    GreetAndLogOn(link);
    std::string port = link.Read();
    link.Reply("200 PORT ok");
    link.Expect("LIST");
    link.Reply("150 Here it comes");
    link.ConnectActive(port, "127.0.0.2");  // not the server the client logged on to
    link.SendData("01-15-07  10:30PM                12345 planted.log\r\n");
    link.CloseData();
    link.Reply("226 Done");
    link.Expect("CWD logs");
    link.Reply("250 Changed");
    link.WaitForClose();
  });
  CFtpConnection ftp;
  ftp.set_timeouts(60, 20);
  ASSERT_EQ(ConnectTo(ftp, server, false), kFtpOk);
  std::string reply;
  EXPECT_EQ(ftp.List("", {&reply, 200})->count(), 0);
  EXPECT_EQ(reply, "Data connection from 127.0.0.2 refused");
  EXPECT_FALSE(ftp.data_open());
  EXPECT_EQ(ftp.ChangeDir("logs", {}), kFtpOk);
  ftp.Quit();
}

TEST(FtpConnectionTest, OverlongReplyLineAndClosedServer) {
  ScriptedServer server([](ScriptedLink& link) {
    link.Reply("220 " + std::string(600, 'x'));
    link.WaitForClose();
  });
  CFtpConnection ftp;
  EXPECT_EQ(ConnectTo(ftp, server), kFtpCannotConnect);
  ftp.Reset();

  ScriptedServer closing([](ScriptedLink&) {});
  std::string error;
  EXPECT_EQ(ConnectTo(ftp, closing, true, &error), kFtpCannotConnect);
  EXPECT_EQ(error, "Server closed the connection");
  EXPECT_EQ(ftp.ChangeDir("logs", {}), kFtpNotConnected);
  ftp.Reset();
}

// Both data connection modes against a real server: listing, transfer,
// folder change and delete.
TEST(FtpConnectionTest, RealServerInBothModes) {
  setenv("TZ", "UTC", 1);
  tzset();
  test::TempDir remote;
  std::filesystem::create_directory(remote.File("logs"));
  const std::string body = "line one\r\nline two\r\n" + std::string(5000, 'x');
  test::WriteFile(remote.File("logs/ex070115.log"), body);
  test::SetFileTime(remote.File("logs/ex070115.log"), 2007, 1, 15, 10, 30);
  test::FtpTestServer server(remote.path());

  for (bool passive : {true, false}) {
    SCOPED_TRACE(passive ? "passive" : "active");
    test::WriteFile(remote.File("logs/gone.log"), "x");
    CFtpConnection ftp;
    ftp.set_port(server.port());
    std::string reply;
    ASSERT_EQ(ftp.Connect("127.0.0.1", test::FtpTestServer::kUser, test::FtpTestServer::kPassword,
                          passive, nullptr, {&reply, 200}),
              kFtpOk);
    EXPECT_EQ(ftp.ChangeDir("nowhere", {&reply, 200}), kFtpCommandFailed);
    EXPECT_EQ(reply.substr(0, 3), "550");
    ASSERT_EQ(ftp.ChangeDir("logs", {}), kFtpOk);

    std::unique_ptr<CRemoteFileList> list = ftp.List("", {});
    list->SortByDate();
    ASSERT_EQ(list->count(), 2);
    const RemoteFileEntry& log = *list->entries()[0];
    EXPECT_EQ(log.name, "ex070115.log");
    EXPECT_EQ(log.size, body.size());
    EXPECT_EQ(log.date, ComposeTime(2007, 1, 15, 0, 0, 0));  // old files are listed by day

    test::TempDir local;
    ASSERT_EQ(ftp.RetrieveFile(local.File("copy.log"), "ex070115.log", "I", {}), kFtpOk);
    EXPECT_EQ(test::ReadFile(local.File("copy.log")), body);
    EXPECT_EQ(ftp.RetrieveFile(local.File("none.log"), "none.log", "I", {}), kFtpNoSuchFile);
    EXPECT_FALSE(std::filesystem::exists(local.File("none.log")));
    EXPECT_EQ(ftp.DeleteRemoteFile("gone.log", {}), kFtpOk);
    EXPECT_FALSE(std::filesystem::exists(remote.File("logs/gone.log")));
    EXPECT_FALSE(ftp.data_open());
    ftp.Quit();
  }
}

TEST(FtpConnectionTest, ErrorTexts) {
  EXPECT_EQ(FtpErrorText(kFtpLogonFailed), "Unable to logon to FTP site (check logon name and password).");
  EXPECT_EQ(FtpErrorText(kFtpCannotBind), "Unable to bind to port requsted by FTP server");
  EXPECT_EQ(FtpErrorText(kFtpPassiveRefused), "FTP error 127");
  EXPECT_EQ(FtpErrorText(kFtpNoSuchFile, 10), "The speci");
}

}  // namespace
}  // namespace tf
