#include "platform/accounts/accounts.h"

#include <pwd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>

namespace tf::accounts {

namespace {

// getpwent keeps one cursor per process.
std::mutex system_source_lock;

// Rewinds the system's passwd cursor on creation and closes it on exit.
class SystemPasswdScan {
 public:
  SystemPasswdScan() { setpwent(); }
  ~SystemPasswdScan() { endpwent(); }
  SystemPasswdScan(const SystemPasswdScan&) = delete;
  SystemPasswdScan& operator=(const SystemPasswdScan&) = delete;
  passwd* Next() { return getpwent(); }
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Calls visit for each entry of the source until it returns false.
void ForEachEntry(const std::function<bool(const passwd&)>& visit) {
  const std::string file_name = PasswdOverride();
  if (!file_name.empty()) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(file_name.c_str(), "re"));
    if (!file) return;
    while (passwd* entry = fgetpwent(file.get())) {
      if (!visit(*entry)) return;
    }
    return;
  }
  std::lock_guard<std::mutex> guard(system_source_lock);
  SystemPasswdScan scan;
  while (passwd* entry = scan.Next()) {
    if (!visit(*entry)) return;
  }
}

}  // namespace

std::string PasswdOverride() {
  const char* value = std::getenv("TALLYFOX_PASSWD");
  return value ? value : "";
}

std::vector<std::string> ListAccounts() {
  std::vector<std::string> names;
  ForEachEntry([&](const passwd& entry) {
    names.emplace_back(entry.pw_name);
    return true;
  });
  return names;
}

std::optional<uid_t> FindAccount(std::string_view name) {
  std::optional<uid_t> uid;
  if (name.empty()) return uid;
  ForEachEntry([&](const passwd& entry) {
    if (name != entry.pw_name) return true;
    uid = entry.pw_uid;
    return false;
  });
  return uid;
}

}  // namespace tf::accounts
