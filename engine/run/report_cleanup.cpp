#include "engine/run/report_cleanup.h"

#include <mutex>

#include "engine/common/path.h"
#include "engine/common/registry_values.h"
#include "engine/logs/file_access.h"
#include "engine/site/site.h"

namespace tf {

namespace {

constexpr double kCleanupInterval = 7200;
constexpr double kPictureLifetime = 86400;
constexpr std::size_t kWebPathSize = 251;

std::mutex cleanup_lock;
TimeValue last_cleanup = 0;  // guarded by cleanup_lock

}  // namespace

void CleanupReportFiles(CSite& site) {
  TimeValue now = NowLocalSeconds();
  {
    std::lock_guard<std::mutex> guard(cleanup_lock);
    if (now - last_cleanup < kCleanupInterval) return;
    last_cleanup = now;
  }
  site.SetStatus("Cleaning up old report files for site.");
  std::lock_guard<std::mutex> guard(cleanup_lock);
  std::string web_path;
  if (!GetRegistryString("WebPath", web_path, kWebPathSize)) return;
  while (!web_path.empty() && web_path.back() == ' ') web_path.pop_back();
  if (web_path.empty()) return;  // never a folder relative to ours
  std::string folder = JoinPath(web_path, "TempCharts");
  for (const std::string& name : ListFolder(folder)) {
    if (name.empty() || name.front() == '.') continue;
    std::string path = JoinPath(folder, name);
    FileFacts facts;
    if (GetFileFacts(path, facts) && facts.regular && facts.write_time < now - kPictureLifetime) {
      RemoveFile(path);
    }
  }
}

}  // namespace tf
