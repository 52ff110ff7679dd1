// TFserver: the analysis service. Under systemd it runs without a switch;
// -install and -remove write and delete its unit, -foreground runs the same
// work in a terminal, -debug runs the debug loop, -help shows the usage.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/svchost/service_manager.h"
#include "platform/svchost/system_log.h"
#include "service/event_log.h"
#include "service/service_host.h"

namespace {

std::string OwnPath(const char* argv0) {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return argv0;
  return std::string(path, static_cast<std::size_t>(length));
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tf::service;
  const char* mirror = std::getenv("TALLYFOX_EVENT_MIRROR");
  tf::svchost::OpenSystemLog(kEventSource, mirror != nullptr ? mirror : "");
  LogInfo("\"TFserver\" - Tallyfox service module has been loaded");
  LogAccountInfo("Logon information: ");

  std::vector<std::string> arguments(argv + 1, argv + argc);
  switch (ParseServiceSwitches(arguments)) {
    case ServiceMode::kInstall: return InstallService(OwnPath(argv[0]));
    case ServiceMode::kUninstall: return UninstallService();
    case ServiceMode::kDebug: return RunDebugLoop();
    case ServiceMode::kHelp: std::fputs(UsageText().c_str(), stdout); return 0;
    case ServiceMode::kForeground: return RunService();
    case ServiceMode::kService: break;
  }
  LogInfo("Notifying SCM of Tallyfox service");
  if (!tf::svchost::StartedByServiceManager()) {
    LogError("Unable to start Tallyfox service");
    std::fputs("TFserver: not started by systemd; use \"systemctl start tallyfox\" or "
               "TFserver -foreground\n",
               stderr);
    return 1;
  }
  int status = RunService();
  if (status == 0) LogInfo("SCM successfully notified of Tallyfox service");
  return status;
}
