#include "engine/ftp/ftp_session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "engine/site/site.h"
#include "ftp_test_server.h"
#include "scripted_server.h"
#include "support/test_support.h"

namespace tf {
namespace {

using Messages = std::vector<std::string>;

// Runs one download and collects its messages; stop_at makes the callback
// answer false to the first message that begins with it.
Messages Download(CSite& site, int port, bool& result, const std::string& stop_at = "") {
  Messages messages;
  CFtpSession session;
  session.connection().set_port(port);
  result = session.DownloadLogFiles(
      site,
      [&](std::string_view text, int flag, void*) {
        EXPECT_EQ(flag, 0);
        messages.emplace_back(text);
        return stop_at.empty() || text.substr(0, stop_at.size()) != stop_at;
      },
      nullptr, false);
  return messages;
}

// Writes its arguments, one per line, to args.txt in its working folder.
std::string RecordArgsScript() { return std::string(TF_SOURCE_DIR) + "/tests/engine/ftp/record_args.sh"; }

bool Contains(const Messages& messages, const std::string& text) {
  return std::find(messages.begin(), messages.end(), text) != messages.end();
}

class FtpDownloadTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
    std::filesystem::create_directory(remote_.File("ex_dir.log"));
    AddRemoteFile("EX070116.LOG", "second day\n", 16);
    AddRemoteFile("ex070115.log", "first day\n", 15);
    AddRemoteFile("other.txt", "not a log\n", 14);
    server_ = std::make_unique<test::FtpTestServer>(remote_.path());

    SiteSettings& s = site_.settings;
    s.FtpAddress = "127.0.0.1";
    s.FtpName = test::FtpTestServer::kUser;
    s.FtpPassword = test::FtpTestServer::kPassword;
    s.FtpFileName = "ex*.log";
    s.FtpLocalFolder = local_.path();
    s.FtpPassive = 1;
  }

  void AddRemoteFile(const std::string& name, const std::string& body, int day) {
    test::WriteFile(remote_.File(name), body);
    test::SetFileTime(remote_.File(name), 2007, 1, day, 10, 30);
  }

  test::TempDir remote_;
  test::TempDir local_;
  std::unique_ptr<test::FtpTestServer> server_;
  CSite site_;
};

TEST_F(FtpDownloadTest, FetchesNewFilesOldestFirstThenSkipsThem) {
  bool result = false;
  Messages first = Download(site_, server_->port(), result);
  EXPECT_TRUE(result);
  // The server's greeting lines sit after the connect message.
  first.erase(std::remove_if(first.begin(), first.end(),
                             [](const std::string& m) { return m.rfind("220", 0) == 0; }),
              first.end());
  const std::string folder = local_.path();
  const Messages expected = {
      "Connecting to 127.0.0.1",
      "Tallyfox FTP has connected to 127.0.0.1",
      "Setting local directory to " + folder,
      "Collecting list of files",
      "There are a total of 4 files in the directory",
      "Determining which files should be downloaded",
      "FTP log file wildcard pattern: \"ex*.log\"",
      "Skipping file that does not match wildcard: other.txt",
      "Downloading ex070115.log (15-Jan-2007 00:00)",
      "Successfully downloaded ex070115.log (15-Jan-2007 00:00)",
      "Downloading EX070116.LOG (16-Jan-2007 00:00)",
      "Successfully downloaded EX070116.LOG (16-Jan-2007 00:00)",
      // A directory, dated today, so listed last.
      "Skipping file that does not match wildcard: ex_dir.log",
      "FTP log file download has completed",
      "2 files were downloaded",
      "2 files did not match the file name pattern",
      "0 old files were skipped",
      "Date of last file downloaded: 16-Jan-2007 00:00",
      "Disconnecting from FTP server",
  };
  EXPECT_EQ(first, expected);
  EXPECT_EQ(site_.settings.FtpLastDate, ComposeTime(2007, 1, 16, 0, 0, 0));
  EXPECT_TRUE(site_.settings_changed);
  EXPECT_EQ(test::ReadFile(local_.File("ex070115.log")), "first day\n");
  EXPECT_EQ(test::ReadFile(local_.File("EX070116.LOG")), "second day\n");

  site_.settings_changed = false;
  Messages second = Download(site_, server_->port(), result);
  EXPECT_TRUE(Contains(second, "Getting new files since 16-Jan-2007 00:00"));
  EXPECT_TRUE(Contains(second, "Skipping old file: ex070115.log (15-Jan-2007 00:00)"));
  EXPECT_TRUE(Contains(second, "Skipping old file: EX070116.LOG (16-Jan-2007 00:00)"));
  EXPECT_TRUE(Contains(second, "0 files were downloaded"));
  EXPECT_TRUE(Contains(second, "2 old files were skipped"));
  EXPECT_FALSE(Contains(second, "Date of last file downloaded: 16-Jan-2007 00:00"));
  EXPECT_FALSE(site_.settings_changed);
}

TEST_F(FtpDownloadTest, StopRequestStillEndsWithTheSummary) {
  site_.settings.FtpPassive = 0;  // active mode this time
  bool result = false;
  Messages messages = Download(site_, server_->port(), result, "Downloading");
  EXPECT_TRUE(result);
  EXPECT_EQ(messages.back(), "Disconnecting from FTP server");
  EXPECT_TRUE(Contains(messages, "0 files were downloaded"));
  EXPECT_TRUE(Contains(messages, "1 files did not match the file name pattern"));
  EXPECT_FALSE(std::filesystem::exists(local_.File("ex070115.log")));
  EXPECT_EQ(site_.settings.FtpLastDate, 0);
}

TEST_F(FtpDownloadTest, DeletesAndRunsTheCommandWithSeparateArguments) {
  // A name that a shell would split and run: here it is one argument.
  const std::string name = "ex 070117;touch pwned.log";
  AddRemoteFile(name, "third day\n", 17);
  SiteSettings& s = site_.settings;
  s.FtpFileName = "ex *";
  s.FtpDelete = 1;
  s.FtpOnlyGetNew = 0;
  s.FtpCommand = "\"" + RecordArgsScript() + "\" @fullname@ @basename@";
  bool result = false;
  Messages messages = Download(site_, server_->port(), result);
  EXPECT_TRUE(result);
  const std::string local_path = local_.File(name);
  EXPECT_TRUE(Contains(messages, "Downloading " + name));
  EXPECT_TRUE(Contains(messages, "Successfully deleted " + name));
  EXPECT_TRUE(Contains(messages, "Execute: \"" + RecordArgsScript() + "\" " + local_path +
                                     " ex 070117;touch pwned"));
  EXPECT_FALSE(std::filesystem::exists(remote_.File(name)));

  // The command runs on its own; wait for what it records in its folder.
  const std::string args = local_.File("args.txt");
  for (int i = 0; i < 3000 && !std::filesystem::exists(args); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(test::ReadFile(args), local_path + "\nex 070117;touch pwned\n");
  EXPECT_FALSE(std::filesystem::exists(local_.File("pwned.log")));
}

TEST(FtpSessionTest, RefusesNamesThatLeaveTheLocalFolder) {
  test::TempDir root;
  const std::string local = root.File("local");
  std::filesystem::create_directory(local);
  test::ScriptedServer server([](test::ScriptedLink& link) {
    link.Reply("220-Welcome to the log host");
    link.Reply("220-Second line");
    link.Reply("220 Ready");
    link.Expect("USER loguser");
    link.Reply("230 Logged on");
    link.Expect("PASV");
    link.Reply(link.OpenPassive());
    link.AcceptData();
    link.Expect("LIST");
    link.Reply("150 Listing");
    link.SendData(
        "-rw-r--r-- 1 o g 4 Jan 11 10:30 ../evil.log\r\n"
        "-rw-r--r-- 1 o g 4 Jan 12 10:30 ..\\evil.log\r\n"
        "-rw-r--r-- 1 o g 4 Jan 13 10:30 sub/evil.log\r\n"
        "-rw-r--r-- 1 o g 4 Jan 14 10:30 ex070114.log\r\n");
    link.CloseData();
    link.Reply("226 Done");
    link.Expect("PASV");
    link.Reply(link.OpenPassive());
    link.AcceptData();
    link.Expect("TYPE I");
    link.Reply("200 Binary");
    link.Expect("RETR ex070114.log");
    link.Reply("150 Sending");
    link.SendData("data");
    link.CloseData();
    link.Reply("226 Done");
    link.WaitForClose();
  });
  CSite site;
  site.settings.FtpAddress = "127.0.0.1";
  site.settings.FtpName = "loguser";
  site.settings.FtpLocalFolder = local;
  site.settings.FtpPassive = 1;
  bool result = false;
  Messages messages = Download(site, server.port(), result);
  EXPECT_TRUE(result);
  for (const char* name : {"../evil.log", "..\\evil.log", "sub/evil.log"}) {
    EXPECT_TRUE(Contains(messages, std::string("Skipping file with an unsafe name: ") + name)) << name;
  }
  EXPECT_TRUE(Contains(messages, "220 Welcome to the log host"));
  EXPECT_TRUE(Contains(messages, "220-Second line"));
  EXPECT_TRUE(Contains(messages, "Ready"));
  EXPECT_TRUE(Contains(messages, "1 files were downloaded"));
  EXPECT_TRUE(Contains(messages, "3 files did not match the file name pattern"));
  EXPECT_EQ(test::ReadFile(local + "/ex070114.log"), "data");
  EXPECT_FALSE(std::filesystem::exists(root.File("evil.log")));
  EXPECT_FALSE(std::filesystem::exists(root.File("local/sub")));
  std::vector<std::string> commands = server.Finish();
  EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                          [](const std::string& c) { return c.rfind("RETR", 0) == 0; }),
            1);
}

TEST(FtpSessionTest, LogonFailureIsReported) {
  test::ScriptedServer server([](test::ScriptedLink& link) {
    link.Reply("220 Ready");
    link.Expect("USER loguser");
    link.Reply("530 Login incorrect.");
    link.WaitForClose();
  });
  CSite site;
  site.settings.FtpAddress = "127.0.0.1";
  site.settings.FtpName = "loguser";
  bool result = true;
  Messages messages = Download(site, server.port(), result);
  EXPECT_FALSE(result);
  EXPECT_EQ(messages, (Messages{"Connecting to 127.0.0.1",
                                "Error connecting: Unable to logon to FTP site (check logon name "
                                "and password).",
                                "Error: 530 Login incorrect."}));
}

}  // namespace
}  // namespace tf
