#include "service/service_host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "engine/names/domain_translation.h"
#include "engine/common/ascii.h"
#include "engine/site/projects_database.h"
#include "engine/site/site_list.h"
#include "engine/store/system_data.h"
#include "platform/net/socket.h"
#include "platform/svchost/control_signals.h"
#include "platform/svchost/service_manager.h"
#include "service/client_list.h"
#include "service/command_server.h"
#include "service/event_log.h"
#include "service/service_scheduler.h"

namespace tf::service {

namespace {

using namespace std::chrono_literals;
using svchost::Control;

constexpr const char* kUnitName = "tallyfox";
constexpr const char* kRunningText = "Tallyfox service is running";

// Tells systemd; the event log gets the reason of a failure as well.
void Notify(const std::string& state) { svchost::NotifyServiceManager(state); }

// The engine's databases and lists, in order; the first failure is logged
// and told to the service manager.
bool StartEngine() {
  struct Step {
    bool (*run)();
    const char* failure;
  } steps[] = {
      {[] { return SystemData.OpenSystemDatabase(); }, "Unable to open TallyfoxSystem.mdb database"},
      {[] { return SystemData.LoadReferenceTables(); },
       "Unable to read system information from Tallyfox.mdb"},
      {[] { return ProjectsDatabase.Open(); }, "Unable to open Tallyfox.mdb database"},
      {[] { return ProjectsDatabase.LoadSystemSettings() && ProjectsDatabase.LoadProjects(); },
       "Unable to read the sites from Tallyfox.mdb"},
  };
  for (const Step& step : steps) {
    if (!step.run()) {
      LogError("%s", step.failure);
      Notify(std::string("STATUS=") + step.failure);
      return false;
    }
  }
  return true;
}

bool StartListening(CommandServer& server) {
  std::uint32_t address = GetServiceAddress();
  if (address == 0) {
    LogError("Unable to get local IP address");
    LogAccountInfo("Logged on as ");
    Notify("STATUS=Unable to get local IP address");
    return false;
  }
  int port = GetServicePort();
  if (!server.Start(address, port)) {
    Notify("STATUS=Unable to bind to port " + std::to_string(port));
    return false;
  }
  return true;
}

// Serves the controls until a stop. Pause and continue change only what is
// reported: analyses, scheduler and listener go on.
void ServeControls(svchost::ControlSignals& signals) {
  for (;;) {
    switch (signals.Wait()) {
      case Control::kStop:
        LogInfo("STOP command received");
        Notify("STOPPING=1\nSTATUS=Stopping");
        return;
      case Control::kPause:
        LogInfo("PAUSE command received");
        Notify("STATUS=Paused");
        ReportEventId(kEventPaused, kEventSource);
        break;
      case Control::kContinue:
        LogInfo("CONTINUE command received");
        Notify(std::string("STATUS=") + kRunningText);
        LogInfo("%s", kRunningText);
        break;
      case Control::kNone:
        break;
    }
  }
}

}  // namespace

ServiceMode ParseServiceSwitches(const std::vector<std::string>& arguments) {
  ServiceMode mode = ServiceMode::kService;
  for (const std::string& argument : arguments) {
    if (argument.size() < 2 || (argument[0] != '-' && argument[0] != '/')) continue;
    std::string_view word = std::string_view(argument).substr(1);
    if (EqualsCaseless(word, "install")) {
      mode = ServiceMode::kInstall;
    } else if (EqualsCaseless(word, "remove") || EqualsCaseless(word, "uninstall")) {
      mode = ServiceMode::kUninstall;
    } else if (EqualsCaseless(word, "debug")) {
      mode = ServiceMode::kDebug;
    } else if (EqualsCaseless(word, "help") || word == "?") {
      mode = ServiceMode::kHelp;
    } else if (EqualsCaseless(word, "foreground")) {
      mode = ServiceMode::kForeground;
    }
  }
  return mode;
}

int RunService() {
  // Before any thread, so that every thread has the controls blocked.
  svchost::ControlSignals signals;
  ClientList clients;
  ServiceScheduler scheduler(clients);
  scheduler.InstallHooks();
  CommandServer server(clients, scheduler);
  if (!StartEngine() || !StartListening(server)) {
    LogError("Unable to start Tallyfox service");
    return 1;
  }
  StartDomainThreads();
  scheduler.Start();
  Notify(std::string("READY=1\nSTATUS=") + kRunningText);
  LogInfo("%s", kRunningText);

  ServeControls(signals);

  // Running analyses stop and write what they counted; their status
  // changes still reach the consoles; then the sites are stored.
  scheduler.StopAll();
  ProjectsDatabase.UpdateProjects();
  server.Stop();
  StopDomainThreads();
  SiteList.Clear();
  ProjectsDatabase.Close();
  SystemData.CloseSystemDatabase();
  ReportEventId(kEventStopped, kEventSource);
  return 0;
}

int RunDebugLoop() {
  svchost::ControlSignals signals;
  int interval_ms = 1000;
  std::this_thread::sleep_for(1s);
  ReportEventId(kEventStarted, kEventSource);
  bool paused = false;
  for (;;) {
    if (!paused) {
      std::fputc('\a', stdout);
      std::fflush(stdout);
    }
    Control control = signals.Wait(interval_ms);
    if (control == Control::kStop) break;
    if (control == Control::kPause && !paused) {
      paused = true;
      ReportEventId(kEventPaused, kEventSource);
    } else if (control == Control::kContinue && paused) {
      paused = false;
      ReportEventId(kEventContinued, kEventSource);
    }
  }
  std::this_thread::sleep_for(1s);
  ReportEventId(kEventStopped, kEventSource);
  return 0;
}

int InstallService(const std::string& program) {
  svchost::UnitDescription unit;
  unit.description = "Tallyfox web analyzer";
  unit.program = program;
  // The service reads the registry the installer used.
  if (const char* registry = std::getenv("TALLYFOX_REGISTRY"); registry != nullptr && *registry) {
    unit.environment.push_back(std::string("TALLYFOX_REGISTRY=") + registry);
  }
  std::string folder = svchost::UnitFolder();
  if (int error = svchost::WriteUnitFile(folder, kUnitName, svchost::ServiceUnitText(unit));
      error != 0) {
    ReportEventCode(kEventNoManager, error);
    std::fprintf(stderr, "TFserver: cannot write the unit into %s: %s\n", folder.c_str(),
                 std::strerror(error));
    return 1;
  }
  bool managed = svchost::SystemdRuns() && std::getenv("TALLYFOX_UNIT_DIR") == nullptr;
  if (managed && (svchost::RunSystemctl({"daemon-reload"}) != 0 ||
                  svchost::RunSystemctl({"enable", kUnitName}) != 0)) {
    std::fprintf(stderr, "TFserver: systemctl could not enable the service\n");
    return 1;
  }
  ReportEventId(kEventInstalled, kEventSource);
  std::printf("\"Tallyfox\" was successfully installed.\n");
  return 0;
}

int UninstallService() {
  bool managed = svchost::SystemdRuns() && std::getenv("TALLYFOX_UNIT_DIR") == nullptr;
  if (managed) svchost::RunSystemctl({"disable", kUnitName});
  int error = svchost::DeleteUnitFile(svchost::UnitFolder(), kUnitName);
  if (error != 0) {
    ReportEventCode(error == ENOENT ? kEventCannotOpen : kEventCannotDelete, error);
    std::fprintf(stderr, "TFserver: the service is not installed (%s)\n", std::strerror(error));
    return 1;
  }
  if (managed) svchost::RunSystemctl({"daemon-reload"});
  ReportEventId(kEventUninstalled, kEventSource);
  std::printf("\"Tallyfox\" was successfully uninstalled.\n");
  return 0;
}

std::string UsageText() {
  return "Tallyfox service\nUsage: TFserver [-install | -uninstall | -help]\n"
         "       TFserver -foreground (runs the service in this terminal)\n";
}

}  // namespace tf::service
