#include "engine/run/reset_statistics.h"

#include <cstdio>
#include <string>

#include "engine/site/site.h"
#include "engine/stats/period_writes.h"

namespace tf {

void ResetStatistics(CSite& site) {
  {
    DatabaseLockGuard lock(site.database(), "AddTextItem");
    DeleteStatisticsRows(site.database());
    RunHistory& history = site.history;
    history.LastScanDate = 0;
    history.LastRecordDate = 0;
    history.LastFileDate = 0;
    history.stRejectInclude = 0;
    history.stRejectExclude = 0;
    history.SavedSessionsCheck = -1;  // no file to tie: it is removed below
    for (auto& stream : site.log_streams) stream->ResetProgress();
    site.settings.FtpLastDate = 0;
  }
  std::string sessions = site.DatabasePathWithExtension();
  if (!sessions.empty()) std::remove(sessions.c_str());
  site.settings_changed = true;
  site.StoreSettings();
}

}  // namespace tf
