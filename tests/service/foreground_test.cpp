// TFserver -foreground as a whole: readiness told to a stand-in service
// manager, a site with the bundled samples created through the protocol and
// analysed on its schedule, its status changes broadcast, and SIGTERM
// ending it with status 0 and the site's statistics stored.
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "../engine/store/install_folder.h"
#include "engine/site/item_category.h"
#include "engine/common/tagged_record.h"
#include "engine/logs/log_stream.h"
#include "engine/site/site.h"
#include "service/message_bodies.h"
#include "service/protocol.h"
#include "support/tallyfox_key.h"
#include "test_client.h"

extern char** environ;

namespace tf::service::test {
namespace {

constexpr int kDeadlineMs = 120000;

// A datagram socket where the service's notifications arrive, as systemd's.
class NotifySocket {
 public:
  explicit NotifySocket(const std::string& path) : path_(path) {
    descriptor_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    bind(descriptor_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    timeval limit{kDeadlineMs / 1000, 0};
    setsockopt(descriptor_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  }
  ~NotifySocket() { close(descriptor_); }
  // Messages until one contains `word`; false when none came in time.
  bool WaitFor(const std::string& word) {
    char buffer[4096];
    for (;;) {
      ssize_t n = recv(descriptor_, buffer, sizeof buffer, 0);
      if (n < 0) return false;
      if (std::string(buffer, static_cast<std::size_t>(n)).find(word) != std::string::npos) {
        return true;
      }
    }
  }

 private:
  std::string path_;
  int descriptor_ = -1;
};

int FreePort() {
  net::Socket probe;
  net::Listen(probe, net::Endpoint{Loopback(1), 0}, 1);
  net::Endpoint at;
  net::LocalEndpoint(probe, at);
  return at.port;
}

std::string SampleSiteRecord() {
  CSite site;
  site.ProjectName = "Sample site";
  site.log_streams.push_back(
      std::make_unique<CLogStream>(std::string(TF_SOURCE_DIR) + "/data/samples/ncsa-combined.log"));
  SiteSettings& settings = site.settings;
  settings.VisitorsDomains = 0;  // no name lookups: no network
  settings.DayStats &= ~CategoryStatBit(kCategoryRegion);
  settings.RptUseSchedule = 0;
  settings.AutoTimezone = 0;
  settings.EnableSchedule = 1;
  for (std::int32_t& day : settings.RunSchedule) day = 0xFFFFFF;
  return EncodeSiteRecord(site);
}

TEST(ForegroundServiceTest, AnalysesOnScheduleAndStopsCleanly) {
  tf::test::InstallFolder install;
  int port = FreePort();
  ASSERT_TRUE(tf::test::SetTallyfoxString("TallyfoxAddress", "127.0.0.1"));
  {
    registry::Key key;
    ASSERT_EQ(registry::Key::Open(tf::test::kTallyfoxKey, registry::KEY_ALL_ACCESS, &key), 0);
    ASSERT_EQ(key.SetDword("TallyfoxPort", static_cast<std::uint32_t>(port)), 0);
  }
  NotifySocket notify(install.File("notify"));
  setenv("NOTIFY_SOCKET", install.File("notify").c_str(), 1);
  setenv("TALLYFOX_EVENT_MIRROR", install.File("events.txt").c_str(), 1);
  std::string program = tf::test::BuildPath("service/TFserver");
  char* argv[] = {program.data(), const_cast<char*>("-foreground"), nullptr};
  pid_t pid = -1;
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
  unsetenv("NOTIFY_SOCKET");
  unsetenv("TALLYFOX_EVENT_MIRROR");
  ASSERT_TRUE(notify.WaitFor("READY=1"));

  TestClient client;
  ASSERT_TRUE(client.Connect(net::Endpoint{Loopback(1), port}, Loopback(1)));
  ASSERT_TRUE(client.NextWithCode(MSG_LOGON_STATE, kDeadlineMs));
  client.Send(CMD_CREATE_SITE, 0, SampleSiteRecord());
  ASSERT_TRUE(client.NextWithCode(MSG_ACK, kDeadlineMs));
  // The scheduler's tick starts the due site; the run's end is broadcast.
  bool ran = false;
  while (auto status = client.NextWithCode(MSG_SITE_STATUS, kDeadlineMs)) {
    std::uint32_t state = 0;
    RecordGetInt(status->body, 10, state);
    if (state == kSiteRunning) ran = true;
    if (ran && state == kSiteIdle) break;
  }
  ASSERT_TRUE(ran);

  ASSERT_EQ(kill(pid, SIGTERM), 0);
  EXPECT_TRUE(notify.WaitFor("STOPPING=1"));
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(install.Value("Project0001.mdb", "SELECT COUNT(*) FROM tblDay"), "0");
  EXPECT_NE(install.Value("Project0001.mdb",
                          "SELECT COUNT(*) FROM tblSettingsInteger WHERE Name='stTotalRecords' "
                          "AND IntegerValue > 0"),
            "0");
  std::string events = tf::test::ReadFile(install.File("events.txt"));
  EXPECT_NE(events.find("I Finished analysis of Sample site."), std::string::npos);
  EXPECT_NE(events.find("I STOP command received"), std::string::npos);
}

}  // namespace
}  // namespace tf::service::test
