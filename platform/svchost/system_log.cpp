#include "platform/svchost/system_log.h"

#include <pwd.h>
#include <syslog.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <string>

namespace tf::svchost {

namespace {

std::mutex log_lock;
std::string log_identity;  // syslog keeps the pointer, so it lives here
std::FILE* mirror = nullptr;

int Priority(Severity severity) {
  switch (severity) {
    case Severity::kWarning: return LOG_WARNING;
    case Severity::kError: return LOG_ERR;
    case Severity::kInformation: break;
  }
  return LOG_INFO;
}

char Letter(Severity severity) {
  switch (severity) {
    case Severity::kWarning: return 'W';
    case Severity::kError: return 'E';
    case Severity::kInformation: break;
  }
  return 'I';
}

void CloseMirror() {
  if (mirror != nullptr) std::fclose(mirror);
  mirror = nullptr;
}

}  // namespace

void OpenSystemLog(std::string_view identity, const std::string& mirror_path) {
  std::lock_guard<std::mutex> guard(log_lock);
  closelog();
  log_identity.assign(identity);
  openlog(log_identity.c_str(), LOG_PID, LOG_DAEMON);
  CloseMirror();
  if (!mirror_path.empty()) mirror = std::fopen(mirror_path.c_str(), "ae");
}

void CloseSystemLog() {
  std::lock_guard<std::mutex> guard(log_lock);
  closelog();
  CloseMirror();
}

void WriteSystemLog(Severity severity, std::string_view text) {
  std::string line(text);
  std::lock_guard<std::mutex> guard(log_lock);
  syslog(Priority(severity), "%s", line.c_str());
  if (mirror != nullptr) {
    std::fprintf(mirror, "%c %s\n", Letter(severity), line.c_str());
    std::fflush(mirror);
  }
}

std::string CurrentAccountName() {
  passwd entry{};
  passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr) {
    return {};
  }
  return entry.pw_name;
}

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

}  // namespace tf::svchost
