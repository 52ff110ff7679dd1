#include "service/service_scheduler.h"

#include <string>
#include <utility>

#include "engine/run/run_analysis.h"
#include "engine/common/message_box.h"
#include "engine/site/site.h"
#include "engine/site/site_list.h"
#include "engine/site/site_status_hook.h"
#include "engine/store/system_data.h"
#include "service/event_log.h"
#include "service/message_bodies.h"
#include "service/protocol.h"

namespace tf::service {

namespace {

using ListLock = std::lock_guard<std::recursive_mutex>;

}  // namespace

void FtpStatusCallback(std::string_view text, CSite& site) {
  std::string line(text);
  if (site.settings.FtpLogDetails != 0) {
    LogInfo("FTP status for %s: %s", site.ProjectName.c_str(), line.c_str());
  } else {
    LogError("FTP error for %s: %s", site.ProjectName.c_str(), line.c_str());
  }
}

AnalysisHost::AnalysisRun ServiceScheduler::ServiceRun() {
  return [](CSite& site) {
    LogInfo("Beginning analysis of %s.", site.ProjectName.c_str());
    RunAnalysis(site, [&site](std::string_view text) { FtpStatusCallback(text, site); });
    LogInfo("Finished analysis of %s.", site.ProjectName.c_str());
  };
}

ServiceScheduler::ServiceScheduler(ClientList& clients, AnalysisHost::LocalClock clock,
                                   AnalysisHost::AnalysisRun run)
    : clients_(clients), host_(std::move(clock), std::move(run)) {}

ServiceScheduler::~ServiceScheduler() {
  StopAll();
  RemoveHooks();
}

void ServiceScheduler::InstallHooks() {
  SetSiteStatusHandler([this](CSite& site) { BroadcastSiteStatus(site); });
  SetSiteErrorHandler([](CSite& site, std::string_view error) {
    std::string text(error);
    LogError("Error for %s: %s", site.ProjectName.c_str(), text.c_str());
  });
  SetMessageBoxHandler([this](std::string_view text, std::string_view caption, unsigned flags) {
    clients_.QueueAlert(text, caption, flags);
    return kIdOk;
  });
  hooks_installed_ = true;
}

void ServiceScheduler::RemoveHooks() {
  if (!hooks_installed_) return;
  SetSiteStatusHandler({});
  SetSiteErrorHandler({});
  SetMessageBoxHandler({});
  hooks_installed_ = false;
}

void ServiceScheduler::Start(std::chrono::milliseconds interval) {
  thread_ = std::thread([this, interval] { Run(interval); });
}

void ServiceScheduler::Run(std::chrono::milliseconds interval) {
  std::unique_lock<std::mutex> lock(stop_lock_);
  while (!stop_signal_.wait_for(lock, interval, [this] { return stopping_; })) {
    lock.unlock();
    Tick();
    lock.lock();
  }
}

void ServiceScheduler::Tick() {
  ListLock lock(SiteList.mutex());
  for (const AnalysisHost::ShownChange& change : host_.Tick()) {
    // State changes were broadcast when they happened.
    if (change.next_run_changed) NotifySiteStatus(*change.site);
  }
}

void ServiceScheduler::StopThread() {
  {
    std::lock_guard<std::mutex> lock(stop_lock_);
    stopping_ = true;
  }
  stop_signal_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void ServiceScheduler::StopAll() {
  StopThread();
  host_.StopAll();
  host_.WaitForAll();
}

AnalysisHost::StartResult ServiceScheduler::StartOrQueueAnalysis(CSite& site) {
  AnalysisHost::StartResult result = host_.StartOrQueue(site);
  if (result == AnalysisHost::StartResult::kQueued) {
    LogInfo("Analysis of %s pending. Max analyses already running.", site.ProjectName.c_str());
  }
  return result;
}

void ServiceScheduler::StopAnalysis(CSite& site) { host_.Stop(site); }

void ServiceScheduler::ScheduleChanged(const CSite& site) { host_.ForgetSeenHour(site); }

void ServiceScheduler::BroadcastSiteRecord(CSite& site) {
  clients_.BroadcastNotification(MSG_SITE_RECORD, static_cast<std::uint32_t>(site.ProjectID),
                                 EncodeSiteRecord(site));
  BroadcastSiteStatus(site);
}

void ServiceScheduler::BroadcastSiteStatus(CSite& site) {
  clients_.BroadcastNotification(MSG_SITE_STATUS, static_cast<std::uint32_t>(site.ProjectID),
                                 EncodeSiteStatus(site));
}

void ServiceScheduler::BroadcastSystemSettings() {
  clients_.BroadcastNotification(MSG_SYSTEM_SETTINGS, 0, EncodeSystemSettings(SystemData));
}

}  // namespace tf::service
