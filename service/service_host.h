// TFserver's start-up: the command-line switches, the service body that
// systemd (or -foreground) runs, the debug loop, and installation.
#pragma once

#include <string>
#include <vector>

namespace tf::service {

enum class ServiceMode {
  kService = 0,     // no switch: run for the service manager
  kInstall = 1,
  kUninstall = 2,
  kDebug = 3,
  kHelp = 4,
  kForeground = 5,  // the service body in the terminal
};

// Each switch after "-" or "/", without regard to case; the last one
// recognised wins; arguments without "-" or "/" are ignored.
ServiceMode ParseServiceSwitches(const std::vector<std::string>& arguments);

// The service's work until a stop control: engine, command server and
// scheduler started, readiness told, controls served, then everything
// stopped with the sites stored. 0, or 1 when the work could not start.
int RunService();

// The debug loop: beeps on an interval until stopped; starts no work.
int RunDebugLoop();

// Writes and enables the unit that starts `program`; 0 or 1.
int InstallService(const std::string& program);
int UninstallService();

// The usage text of -help.
std::string UsageText();

}  // namespace tf::service
