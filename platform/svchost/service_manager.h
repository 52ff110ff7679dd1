// The service manager is systemd: a unit file that starts the program as a
// notify service (restarted when it fails), its installation and removal
// with systemctl where systemd runs, and the notifications a notify service
// sends (READY, STOPPING, STATUS) through $NOTIFY_SOCKET.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tf::svchost {

// $TALLYFOX_UNIT_DIR when set (tests), else /etc/systemd/system.
std::string UnitFolder();

struct UnitDescription {
  std::string description;
  std::string program;  // absolute path of the program to run
  // Environment the service needs, "NAME=value" each (e.g. the registry file
  // the installer used).
  std::vector<std::string> environment;
};

std::string ServiceUnitText(const UnitDescription& unit);

// Writes `name`.service into the folder (through a temporary file, so a
// half-written unit never exists). 0 or the errno that stopped it.
int WriteUnitFile(const std::string& folder, std::string_view name, std::string_view text);
// 0, ENOENT when there is no such unit file, or another errno.
int DeleteUnitFile(const std::string& folder, std::string_view name);

// Whether systemd manages this machine.
bool SystemdRuns();
// systemctl with the arguments; its exit status, or -1 when it could not
// be run.
int RunSystemctl(const std::vector<std::string>& arguments);

// Whether the service manager started this program and waits for its
// notifications.
bool StartedByServiceManager();
// One notification such as "READY=1\nSTATUS=Running"; false when there is
// no service manager to tell or the message could not be sent.
bool NotifyServiceManager(std::string_view state);

}  // namespace tf::svchost
