#include "console/site_commands.h"

#include <mutex>

#include "engine/common/ascii.h"
#include "engine/common/busy.h"
#include "engine/common/message_box.h"
#include "engine/site/projects_database.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"

namespace tf::console {

namespace {

using ListLock = std::lock_guard<std::recursive_mutex>;


bool IsListed(const CSite* site) {
  for (const auto& listed : SiteList.sites()) {
    if (listed.get() == site) return true;
  }
  return false;
}

}  // namespace

bool NameInUse(std::string_view name, const CSite* except) {
  ListLock lock(SiteList.mutex());
  for (const auto& site : SiteList.sites()) {
    if (site.get() != except && EqualsCaseless(site->ProjectName, name)) return true;
  }
  return false;
}

NameCheck CheckNewSiteName(std::string_view name) {
  if (!NameInUse(name, nullptr)) return NameCheck::kUnique;
  std::string text = "An existing project already has the name '" + std::string(name) +
                     "'.\nPlease choose a different name for this project.";
  int answer = ShowMessageBox(text, kDuplicateNameCaption, kMbOkCancel | kMbIconError);
  return answer == kIdOk ? NameCheck::kChooseAnother : NameCheck::kGiveUp;
}

bool AddNewSite(CSite* site) {
  ListLock lock(SiteList.mutex());
  site->SetUpNewSite();
  return ProjectsDatabase.AddProject(*site);
}

RemoveResult RemoveSite(CSite* site) {
  if (site == nullptr) return RemoveResult::kCancelled;
  std::string text = "Delete " + site->ProjectName + "\nAre you sure?";
  if (ShowMessageBox(text, kConfirmDeletionCaption, kMbOkCancel | kMbIconQuestion) != kIdOk) {
    return RemoveResult::kCancelled;
  }
  // The question ran the event loop: a tick may have started the site.
  BusyScope no_ticks;
  ListLock lock(SiteList.mutex());
  if (!IsListed(site) || site->state != kSiteIdle) return RemoveResult::kBusy;
  ProjectsDatabase.DeleteProject(site);
  return RemoveResult::kRemoved;
}

}  // namespace tf::console
