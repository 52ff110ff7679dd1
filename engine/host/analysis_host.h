// AnalysisHost: the scheduler that the console (every 100 ms) and the
// service (every 10 s) share, free of any window or socket. It starts an
// analysis of a site or queues it under MaxAnalyses, starts the pending
// sites in list order as slots free up, starts sites by their weekly
// schedule at the first tick of each hour, stops sites, and at the end
// stops them all and joins every analysis thread.
//
// Site states: idle -> running (a slot was free) or pending (none was),
// pending -> running (a tick found a slot) or idle (stopped), running ->
// stopping (stopped; the run ends at its next test), running or stopping ->
// idle (the run returned). Each change goes through NotifySiteStatus.
//
// The sites are those of the global site list. Every operation takes the
// list's re-entrant lock, so a caller may already hold it; the analysis
// threads never take it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/common/time_value.h"
#include "engine/host/analysis_slots.h"
#include "engine/host/hosted_site.h"

namespace tf {

class CSite;

inline constexpr std::string_view kWaitingForSlotText = "Waiting for other analyses to finish";

class AnalysisHost {
 public:
  // The local time. Called on the ticking thread and on analysis threads.
  using LocalClock = std::function<TimeValue()>;
  // One whole analysis of a site, on its own thread.
  using AnalysisRun = std::function<void(CSite& site)>;

  enum class StartResult { kUnchanged, kStarted, kQueued };

  // A site whose state or next scheduled run differs from what the previous
  // tick reported: the console rewrites its row, the service broadcasts it.
  struct ShownChange {
    CSite* site;
    bool state_changed;
    bool next_run_changed;
    std::int32_t state;
    TimeValue next_run;  // 0: not scheduled
  };

  // By default the real clock and the run driver.
  explicit AnalysisHost(LocalClock clock = NowLocalSeconds, AnalysisRun run = RunDriver());
  // Stops every analysis and waits for its thread.
  ~AnalysisHost();
  AnalysisHost(const AnalysisHost&) = delete;
  AnalysisHost& operator=(const AnalysisHost&) = delete;

  static AnalysisRun RunDriver();

  // Starts an idle or pending site when a slot is free, else makes an idle
  // site pending ("Waiting for other analyses to finish"). A running or
  // stopping site, a pending one without a slot, and any site after
  // StopAll are left as they are.
  StartResult StartOrQueue(CSite& site);
  // "Analyze all": every site in list order, so the first free slots go to
  // the first sites and the others wait.
  void StartOrQueueAll();
  // Pending: idle at once, its run fields cleared. Running: stopping.
  void Stop(CSite& site);

  // Starts pending sites in list order while slots are free, then, for each
  // scheduled site whose hour of the day changed since the last check,
  // starts it when it is idle and due. Returns what changed for display.
  std::vector<ShownChange> Tick();

  // The next check starts the site when its hour is due (after its schedule
  // was changed).
  void ForgetSeenHour(const CSite& site);

  // Stops every running site, makes every pending one idle, and starts no
  // analysis from then on.
  void StopAll();
  // Joins every analysis thread; after StopAll, none is left when it returns.
  void WaitForAll();

  int running_analyses() const { return slots_.running(); }

 private:
  HostedSite& Hosted(const CSite& site);
  void Launch(CSite& site);
  // The analysis thread's work.
  void Analyse(CSite& site);
  void StartPendingSites();
  void StartScheduledSites(TimeValue now);
  std::vector<ShownChange> CollectChanges(TimeValue now);
  // Forgets the records of sites that left the list and joins the threads
  // that have finished.
  void ReapThreads();
  void Retire(std::unique_ptr<AnalysisThread> thread);

  LocalClock clock_;
  AnalysisRun run_;
  AnalysisSlots slots_;
  bool closing_ = false;
  std::unordered_map<const CSite*, HostedSite> hosted_;
  // Threads whose record moved on to a newer analysis or went away.
  std::vector<std::unique_ptr<AnalysisThread>> retired_;
};

// The hour of the day (0 to 23) that a schedule check at `now` counts: 0.4 s
// early, so that a tick just before the full hour counts as the new hour.
int ScheduleHour(TimeValue now);

}  // namespace tf
