#include "console/exit_sequence.h"

#include <mutex>

#include "console/console_scheduler.h"
#include "engine/names/domain_translation.h"
#include "engine/common/busy.h"
#include "engine/common/message_box.h"
#include "engine/site/projects_database.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "engine/store/system_data.h"

namespace tf::console {

namespace {

using ListLock = std::lock_guard<std::recursive_mutex>;

// No tick may start an analysis while a question is open: its dialog runs
// the event loop, timer included.

template <typename Test>
bool AnySite(Test test) {
  ListLock lock(SiteList.mutex());
  for (const auto& site : SiteList.sites()) {
    if (test(*site)) return true;
  }
  return false;
}

bool Confirmed(std::string_view question) {
  return ShowMessageBox(question, kConfirmStopCaption, kMbOkCancel | kMbIconQuestion) == kIdOk;
}

}  // namespace

ShutdownSteps EngineShutdown() {
  return {[] { ProjectsDatabase.UpdateProjects(); }, [] { StopDomainThreads(); },
          [] {
            ListLock lock(SiteList.mutex());
            SiteList.Clear();
          },
          [] {
            ProjectsDatabase.Close();
            SystemData.CloseSystemDatabase();
          }};
}

bool ConfirmStop(ConsoleScheduler& scheduler, const ShutdownSteps& steps) {
  {
    BusyScope no_ticks;
    bool running = AnySite([](CSite& site) { return site.state == kSiteRunning; });
    if (running) {
      if (!Confirmed(kRunningQuestion)) return false;
    } else if (AnySite([](CSite& site) { return NextScheduledRun(site) != 0; })) {
      if (!Confirmed(kScheduledQuestion)) return false;
    }
  }
  ShutDown(scheduler, steps);
  return true;
}

void ShutDown(ConsoleScheduler& scheduler, const ShutdownSteps& steps) {
  // From here on no analysis starts, and a stop is never undone.
  scheduler.Suspend();
  scheduler.host().StopAll();
  scheduler.host().WaitForAll();
  steps.write_back_sites();
  steps.stop_translation();
  steps.delete_sites();
  steps.close_databases();
}

}  // namespace tf::console
