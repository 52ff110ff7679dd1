#include "viewer/work_folder.h"

#include <chrono>
#include <filesystem>

#include "report/regional_format.h"

namespace tf::viewer {
namespace {

report::DaySerial LocalDay(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  return report::MakeDaySerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

}  // namespace

int CleanUpWorkFolder(const std::string& folder, std::time_t now) {
  namespace fs = std::filesystem;
  std::error_code error;
  // A work folder that is a link could lead anywhere.
  if (!fs::is_directory(fs::symlink_status(folder, error))) return 0;
  const report::DaySerial today = LocalDay(now);
  int deleted = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    // The entry itself, never what a link points to.
    if (!fs::is_regular_file(entry.symlink_status(error))) continue;
    const fs::file_time_type changed = fs::last_write_time(entry.path(), error);
    if (error) continue;
    const std::time_t changed_at =
        std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(changed));
    if (today - LocalDay(changed_at) <= 2) continue;
    if (fs::remove(entry.path(), error)) ++deleted;
  }
  return deleted;
}

}  // namespace tf::viewer
