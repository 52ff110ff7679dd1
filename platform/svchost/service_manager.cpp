#include "platform/svchost/service_manager.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/shell/shell.h"

namespace tf::svchost {

namespace {

constexpr const char* kDefaultUnitFolder = "/etc/systemd/system";

std::string UnitPath(const std::string& folder, std::string_view name) {
  return folder + "/" + std::string(name) + ".service";
}

// A datagram socket closed when it goes.
class Datagram {
 public:
  Datagram() : descriptor_(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}
  ~Datagram() {
    if (descriptor_ >= 0) close(descriptor_);
  }
  Datagram(const Datagram&) = delete;
  Datagram& operator=(const Datagram&) = delete;
  int descriptor() const { return descriptor_; }

 private:
  int descriptor_;
};

}  // namespace

std::string UnitFolder() {
  const char* folder = std::getenv("TALLYFOX_UNIT_DIR");
  return folder != nullptr && *folder != '\0' ? folder : kDefaultUnitFolder;
}

std::string ServiceUnitText(const UnitDescription& unit) {
  std::string text;
  text += "[Unit]\n";
  text += "Description=" + unit.description + "\n";
  text += "After=network-online.target\nWants=network-online.target\n\n";
  text += "[Service]\n";
  text += "Type=notify\nNotifyAccess=main\n";
  text += "ExecStart=\"" + unit.program + "\"\n";
  for (const std::string& variable : unit.environment) {
    text += "Environment=\"" + variable + "\"\n";
  }
  text += "Restart=on-failure\nRestartSec=5\n";
  // The stop asks running analyses to end; they write their statistics first.
  text += "TimeoutStopSec=300\n\n";
  text += "[Install]\nWantedBy=multi-user.target\n";
  return text;
}

int WriteUnitFile(const std::string& folder, std::string_view name, std::string_view text) {
  std::string path = UnitPath(folder, name);
  std::string temporary = path + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return errno != 0 ? errno : EACCES;
    out << text;
    out.flush();
    if (!out) return EIO;
  }
  chmod(temporary.c_str(), 0644);
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    int error = errno;
    std::remove(temporary.c_str());
    return error;
  }
  return 0;
}

int DeleteUnitFile(const std::string& folder, std::string_view name) {
  std::string path = UnitPath(folder, name);
  return unlink(path.c_str()) == 0 ? 0 : errno;
}

bool SystemdRuns() {
  std::error_code error;
  return std::filesystem::is_directory("/run/systemd/system", error);
}

int RunSystemctl(const std::vector<std::string>& arguments) {
  shell::StartOptions options;
  options.search_path = true;
  options.wait = true;
  shell::StartResult result = shell::StartProgram("systemctl", arguments, options);
  if (!result.started || !result.exited) return -1;
  return result.exit_code;
}

bool StartedByServiceManager() {
  const char* path = std::getenv("NOTIFY_SOCKET");
  return path != nullptr && *path != '\0';
}

bool NotifyServiceManager(std::string_view state) {
  const char* path = std::getenv("NOTIFY_SOCKET");
  if (path == nullptr || *path == '\0') return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::size_t length = std::strlen(path);
  if (length >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path, length);
  // "@name" is a name in the abstract namespace, which starts with a zero.
  if (address.sun_path[0] == '@') address.sun_path[0] = '\0';
  Datagram socket;
  if (socket.descriptor() < 0) return false;
  auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length);
  return sendto(socket.descriptor(), state.data(), state.size(), MSG_NOSIGNAL,
                reinterpret_cast<const sockaddr*>(&address), size) ==
         static_cast<ssize_t>(state.size());
}

}  // namespace tf::svchost
