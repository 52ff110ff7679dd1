#include "engine/host/analysis_host.h"

#include <cmath>
#include <exception>
#include <mutex>
#include <system_error>
#include <unordered_set>
#include <utility>

#include "engine/common/shared_figure.h"
#include "engine/common/thread_priority.h"
#include "engine/run/run_analysis.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "engine/site/site_status_hook.h"
#include "engine/store/system_data.h"

namespace tf {

namespace {

using ListLock = std::lock_guard<std::recursive_mutex>;

}  // namespace

int ScheduleHour(TimeValue now) { return static_cast<int>(std::fmod((now + 0.4) / 3600, 24)); }

AnalysisHost::AnalysisHost(LocalClock clock, AnalysisRun run)
    : clock_(std::move(clock)), run_(std::move(run)) {}

AnalysisHost::~AnalysisHost() {
  StopAll();
  WaitForAll();
}

AnalysisHost::AnalysisRun AnalysisHost::RunDriver() {
  return [](CSite& site) { RunAnalysis(site); };
}

HostedSite& AnalysisHost::Hosted(const CSite& site) {
  HostedSite& hosted = hosted_[&site];
  if (hosted.project_id != site.ProjectID) {
    Retire(std::move(hosted.thread));
    hosted = HostedSite{};
    hosted.project_id = site.ProjectID;
  }
  return hosted;
}

AnalysisHost::StartResult AnalysisHost::StartOrQueue(CSite& site) {
  ListLock lock(SiteList.mutex());
  std::int32_t state = site.state;
  if (closing_ || (state != kSiteIdle && state != kSitePending)) return StartResult::kUnchanged;
  if (slots_.TryTake(SystemData.MaxAnalyses)) {
    Launch(site);
    return StartResult::kStarted;
  }
  if (state == kSitePending) return StartResult::kUnchanged;
  site.state = kSitePending;
  site.ResetRunFields();
  site.ClearError();
  // The text was just emptied, so setting it notifies, with the new state.
  site.SetStatus(kWaitingForSlotText);
  return StartResult::kQueued;
}

void AnalysisHost::StartOrQueueAll() {
  ListLock lock(SiteList.mutex());
  for (const auto& site : SiteList.sites()) StartOrQueue(*site);
}

void AnalysisHost::Launch(CSite& site) {
  site.ResetRunFields();
  site.ClearError();
  site.state = kSiteRunning;
  NotifySiteStatus(site);
  HostedSite& hosted = Hosted(site);
  Retire(std::move(hosted.thread));
  site.HoldForAnalysis();
  try {
    hosted.thread = std::make_unique<AnalysisThread>([this, &site] { Analyse(site); });
  } catch (const std::system_error&) {
    // No thread to run it: the slot and the site are free again.
    site.ReleaseAnalysisHold();
    site.state = kSiteIdle;
    slots_.Give();
    site.SetError("Unable to start the analysis thread");
  }
}

void AnalysisHost::Analyse(CSite& site) {
  SetCurrentThreadPriority(SystemData.GetThreadPriority());
  TimeValue now = clock_();
  WriteFigure(site.history.LastScanDate, now);
  WriteFigure(site.progress.start_time, now);
  NotifySiteStatus(site);
  try {
    run_(site);
  } catch (const std::exception& failure) {
    // One run's failure must not end the program; the site keeps its text.
    site.SetError(failure.what());
  }
  // Cleared before the site turns idle: from then on a new run of the site
  // may start, whose fields this thread must not touch.
  site.ResetRunFields();
  site.state = kSiteIdle;
  NotifySiteStatus(site);
  site.ReleaseAnalysisHold();
  slots_.Give();
}

void AnalysisHost::Stop(CSite& site) {
  ListLock lock(SiteList.mutex());
  std::int32_t state = kSiteRunning;
  if (site.state.compare_exchange_strong(state, kSiteStopping)) {
    NotifySiteStatus(site);
  } else if (state == kSitePending) {
    site.state = kSiteIdle;
    site.ResetRunFields();
    NotifySiteStatus(site);
  }
}

std::vector<AnalysisHost::ShownChange> AnalysisHost::Tick() {
  ListLock lock(SiteList.mutex());
  ReapThreads();
  TimeValue now = clock_();
  StartPendingSites();
  StartScheduledSites(now);
  return CollectChanges(now);
}

void AnalysisHost::StartPendingSites() {
  for (const auto& site : SiteList.sites()) {
    if (slots_.running() >= SystemData.MaxAnalyses) return;
    if (site->state == kSitePending) StartOrQueue(*site);
  }
}

void AnalysisHost::StartScheduledSites(TimeValue now) {
  int hour = ScheduleHour(now);
  for (const auto& site : SiteList.sites()) {
    if (site->settings.EnableSchedule == 0) continue;
    HostedSite& hosted = Hosted(*site);
    if (hosted.last_seen_hour == hour) continue;
    // Seen once per hour: a site busy at the hour's first tick is not
    // started later in that hour.
    hosted.last_seen_hour = hour;
    if (site->state == kSiteIdle && site->IsRunDue(now)) StartOrQueue(*site);
  }
}

std::vector<AnalysisHost::ShownChange> AnalysisHost::CollectChanges(TimeValue now) {
  std::vector<ShownChange> changes;
  for (const auto& site : SiteList.sites()) {
    HostedSite& hosted = Hosted(*site);
    ShownChange change{site.get(), false, false, site->state, NextScheduledRun(*site, now)};
    change.state_changed = change.state != hosted.shown_state;
    change.next_run_changed = change.next_run != hosted.shown_next_run;
    if (!change.state_changed && !change.next_run_changed) continue;
    hosted.shown_state = change.state;
    hosted.shown_next_run = change.next_run;
    changes.push_back(change);
  }
  return changes;
}

void AnalysisHost::ForgetSeenHour(const CSite& site) {
  ListLock lock(SiteList.mutex());
  Hosted(site).last_seen_hour = -1;
}

void AnalysisHost::ReapThreads() {
  std::unordered_set<const CSite*> listed;
  for (const auto& site : SiteList.sites()) listed.insert(site.get());
  // A deleted site waited for its run to let go of it; only the thread's
  // last steps may be left.
  for (auto it = hosted_.begin(); it != hosted_.end();) {
    if (listed.count(it->first) != 0) {
      ++it;
      continue;
    }
    Retire(std::move(it->second.thread));
    it = hosted_.erase(it);
  }
  std::erase_if(retired_, [](const auto& thread) { return thread->finished(); });
}

void AnalysisHost::Retire(std::unique_ptr<AnalysisThread> thread) {
  if (thread) retired_.push_back(std::move(thread));
}

void AnalysisHost::StopAll() {
  ListLock lock(SiteList.mutex());
  closing_ = true;
  for (const auto& site : SiteList.sites()) Stop(*site);
}

void AnalysisHost::WaitForAll() {
  std::vector<std::unique_ptr<AnalysisThread>> threads;
  {
    ListLock lock(SiteList.mutex());
    for (auto& [site, hosted] : hosted_) Retire(std::move(hosted.thread));
    threads.swap(retired_);
  }
  // Joined outside the lock: a run may need the list while it ends.
  threads.clear();
}

}  // namespace tf
