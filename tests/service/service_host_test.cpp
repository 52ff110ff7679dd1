// TFserver's switches, its unit file, and the service manager's messages.
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/shell/shell.h"
#include "platform/svchost/service_manager.h"
#include "service/service_host.h"
#include "support/test_support.h"

namespace tf::service {
namespace {

TEST(ServiceSwitchesTest, LastRecognisedSwitchWins) {
  struct Case {
    std::vector<std::string> arguments;
    ServiceMode mode;
  } cases[] = {
      {{}, ServiceMode::kService},
      {{"-install"}, ServiceMode::kInstall},
      {{"/INSTALL"}, ServiceMode::kInstall},
      {{"install"}, ServiceMode::kService},  // neither "-" nor "/"
      {{"-remove"}, ServiceMode::kUninstall},
      {{"/Uninstall"}, ServiceMode::kUninstall},
      {{"-debug"}, ServiceMode::kDebug},
      {{"-?"}, ServiceMode::kHelp},
      {{"/help"}, ServiceMode::kHelp},
      {{"-foreground"}, ServiceMode::kForeground},
      {{"-install", "-bogus", "-remove"}, ServiceMode::kUninstall},
      {{"-help", "-bogus"}, ServiceMode::kHelp},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseServiceSwitches(c.arguments), c.mode) << ::testing::PrintToString(c.arguments);
  }
}

TEST(UnitFileTest, NotifyServiceRestartedOnFailure) {
  std::string text = svchost::ServiceUnitText(
      {"Tallyfox web analyzer", "/opt/tallyfox/TFserver", {"TALLYFOX_REGISTRY=/x/registry"}});
  for (const char* line : {"Type=notify\n", "ExecStart=\"/opt/tallyfox/TFserver\"\n",
                           "Restart=on-failure\n", "Environment=\"TALLYFOX_REGISTRY=/x/registry\"\n",
                           "WantedBy=multi-user.target\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
}

// Runs TFserver with the switch; its exit status.
int RunTfserver(const std::string& option, const std::string& unit_folder) {
  setenv("TALLYFOX_UNIT_DIR", unit_folder.c_str(), 1);
  shell::StartOptions options;
  options.wait = true;
  shell::StartResult result =
      shell::StartProgram(test::BuildPath("service/TFserver"), {option}, options);
  unsetenv("TALLYFOX_UNIT_DIR");
  return result.exited ? result.exit_code : -1;
}

TEST(UnitFileTest, InstallWritesTheUnitAndRemoveDeletesIt) {
  test::TempDir units;
  std::string unit = units.File("tallyfox.service");
  EXPECT_EQ(RunTfserver("-install", units.path()), 0);
  std::string text = test::ReadFile(unit);
  EXPECT_NE(text.find("Type=notify"), std::string::npos);
  EXPECT_NE(text.find("TFserver\""), std::string::npos);
  EXPECT_EQ(RunTfserver("/uninstall", units.path()), 0);
  EXPECT_FALSE(std::filesystem::exists(unit));
  EXPECT_EQ(RunTfserver("-remove", units.path()), 1);  // nothing left to remove
}

TEST(NotifyTest, MessageReachesTheServiceManagersSocket) {
  test::TempDir dir;
  std::string path = dir.File("notify");
  int receiver = socket(AF_UNIX, SOCK_DGRAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(receiver, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  unsetenv("NOTIFY_SOCKET");
  EXPECT_FALSE(svchost::NotifyServiceManager("READY=1"));
  setenv("NOTIFY_SOCKET", path.c_str(), 1);
  EXPECT_TRUE(svchost::StartedByServiceManager());
  EXPECT_TRUE(svchost::NotifyServiceManager("READY=1\nSTATUS=Running"));
  unsetenv("NOTIFY_SOCKET");
  char buffer[100] = {};
  ssize_t n = recv(receiver, buffer, sizeof buffer - 1, 0);
  close(receiver);
  EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0), "READY=1\nSTATUS=Running");
}

}  // namespace
}  // namespace tf::service
