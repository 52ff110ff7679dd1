// The service's side of the engine: the scheduler thread that ticks the
// shared analysis host every 10 seconds, the broadcasts of sites and
// settings to the logged-on consoles, and the engine's hooks (status and
// error changes of a site, FTP progress of a run, message boxes), which
// the service turns into event-log entries and messages to the consoles.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>

#include "engine/host/analysis_host.h"
#include "service/client_list.h"

namespace tf {
class CSite;
}

namespace tf::service {

class ServiceScheduler {
 public:
  static constexpr std::chrono::milliseconds kTickInterval{10000};

  // By default the real clock, and runs of the engine whose FTP progress
  // goes to the event log.
  explicit ServiceScheduler(ClientList& clients, AnalysisHost::LocalClock clock = NowLocalSeconds,
                            AnalysisHost::AnalysisRun run = ServiceRun());
  // Stops the thread, every analysis, and takes the hooks back.
  ~ServiceScheduler();
  ServiceScheduler(const ServiceScheduler&) = delete;
  ServiceScheduler& operator=(const ServiceScheduler&) = delete;

  static AnalysisHost::AnalysisRun ServiceRun();

  // Points the engine's status, error and message-box hooks at the service.
  void InstallHooks();
  // Starts the scheduler thread.
  void Start(std::chrono::milliseconds interval = kTickInterval);
  // One tick: pending sites start as slots free up, scheduled sites start at
  // the first tick of a due hour, and a site whose next scheduled run
  // changed is broadcast.
  void Tick();
  // The service's stop: the thread ends, running analyses are asked to stop
  // and joined, and no analysis starts any more.
  void StopAll();

  // Under the site list's lock, as every caller holds it.
  AnalysisHost::StartResult StartOrQueueAnalysis(CSite& site);
  void StopAnalysis(CSite& site);
  // The scheduler looks at the site's schedule again at its next tick.
  void ScheduleChanged(const CSite& site);
  int running_analyses() const { return host_.running_analyses(); }

  // MSG_SITE_RECORD then MSG_SITE_STATUS; MSG_SITE_STATUS; MSG_SYSTEM_SETTINGS.
  void BroadcastSiteRecord(CSite& site);
  void BroadcastSiteStatus(CSite& site);
  void BroadcastSystemSettings();

 private:
  void Run(std::chrono::milliseconds interval);
  void StopThread();
  void RemoveHooks();

  ClientList& clients_;
  AnalysisHost host_;
  std::thread thread_;
  std::mutex stop_lock_;
  std::condition_variable stop_signal_;
  bool stopping_ = false;
  bool hooks_installed_ = false;
};

// The FTP progress of a run: the site shows it; the event log gets it as
// information when the site logs FTP details, else as an error.
void FtpStatusCallback(std::string_view text, CSite& site);

}  // namespace tf::service
