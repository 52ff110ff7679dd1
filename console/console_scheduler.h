// The console's scheduler: the 100 ms tick and the start and stop commands
// over the host layer, which owns the scheduling itself. The tick does
// nothing while the busy counter is raised (a site-list change, a modal
// sheet), never runs inside itself, and stops for good once the program
// begins to end.
#pragma once

#include <optional>
#include <vector>

#include "engine/host/analysis_host.h"

namespace tf::console {

class ConsoleScheduler {
 public:
  explicit ConsoleScheduler(AnalysisHost::LocalClock clock = NowLocalSeconds,
                            AnalysisHost::AnalysisRun run = AnalysisHost::RunDriver());

  // What changed for display, or nothing when the tick was skipped.
  std::optional<std::vector<AnalysisHost::ShownChange>> Tick();

  // "Analyze": a null site does nothing.
  AnalysisHost::StartResult Analyze(CSite* site);
  // "Analyze all sites".
  void AnalyzeAll();
  // "Stop analysis".
  void Stop(CSite* site);

  // The exit path: no tick runs from now on.
  void Suspend() { suspended_ = true; }
  bool suspended() const { return suspended_; }

  TimeValue Now() const { return clock_(); }
  AnalysisHost& host() { return host_; }

 private:
  AnalysisHost::LocalClock clock_;
  AnalysisHost host_;
  bool in_tick_ = false;
  bool suspended_ = false;
};

}  // namespace tf::console
