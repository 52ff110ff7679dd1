#include "engine/site/site_list.h"

#include <algorithm>

#include "engine/common/busy.h"
#include "engine/common/files.h"
#include "engine/common/path.h"

namespace tf {

CSiteList SiteList;

CSiteList::~CSiteList() { Clear(); }

CSite* CSiteList::Find(std::int32_t project_id) const {
  for (const auto& site : sites_) {
    if (site->ProjectID == project_id) return site.get();
  }
  return nullptr;
}

std::int32_t CSiteList::HighestProjectID(const CSite* except) const {
  std::int32_t highest = 0;
  for (const auto& site : sites_) {
    if (site.get() != except) highest = std::max(highest, site->ProjectID);
  }
  return highest;
}

void CSiteList::Clear() {
  std::list<std::unique_ptr<CSite>> sites;
  {
    BusyScope busy;
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    sites.swap(sites_);
  }
  // Destroyed outside the lock: a site waits for its analysis to let go of it.
}

void AddToSiteList(CSite* site) {
  BusyScope busy;
  std::lock_guard<std::recursive_mutex> lock(SiteList.mutex_);
  SiteList.sites_.emplace_front(site);
}

void RemoveSiteFromList(CSite* site) {
  std::unique_ptr<CSite> removed;
  {
    BusyScope busy;
    std::lock_guard<std::recursive_mutex> lock(SiteList.mutex_);
    auto& sites = SiteList.sites_;
    auto it = std::find_if(sites.begin(), sites.end(),
                           [site](const std::unique_ptr<CSite>& s) { return s.get() == site; });
    if (it == sites.end()) return;
    removed = std::move(*it);
    sites.erase(it);
  }
}

bool CSite::SetIdentityDefaults() {
  if (ProjectID < 1) {
    std::lock_guard<std::recursive_mutex> lock(SiteList.mutex());
    ProjectID = SiteList.HighestProjectID(this) + 1;
  }
  if (history.CreationDate == 0) history.CreationDate = NowLocalSeconds();
  if (DatabaseName.empty()) DatabaseName = DefaultDatabaseName(ProjectID);
  return true;
}

bool CSite::SetUpNewSite() {
  SetIdentityDefaults();
  AddToSiteList(this);
  for (const auto& stream : log_streams) {
    std::string_view folder = FolderOf(stream->file_pattern());
    if (!folder.empty() && folder != "/") CreateDirectoryChain(std::string(folder));
  }
  if (settings.OldLogAction == 3 && !settings.LogFileArchiveDirectory.empty()) {
    CreateDirectoryChain(settings.LogFileArchiveDirectory);
  }
  return true;
}

}  // namespace tf
