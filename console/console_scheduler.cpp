#include "console/console_scheduler.h"

#include <utility>

#include "engine/common/busy.h"

namespace tf::console {

namespace {

// Marks the tick as running for its lifetime.
class TickMark {
 public:
  explicit TickMark(bool& mark) : mark_(mark) { mark_ = true; }
  ~TickMark() { mark_ = false; }
  TickMark(const TickMark&) = delete;
  TickMark& operator=(const TickMark&) = delete;

 private:
  bool& mark_;
};

}  // namespace

ConsoleScheduler::ConsoleScheduler(AnalysisHost::LocalClock clock, AnalysisHost::AnalysisRun run)
    : clock_(clock), host_(std::move(clock), std::move(run)) {}

std::optional<std::vector<AnalysisHost::ShownChange>> ConsoleScheduler::Tick() {
  if (suspended_ || in_tick_ || BusyCount() > 0) return std::nullopt;
  TickMark mark(in_tick_);
  return host_.Tick();
}

AnalysisHost::StartResult ConsoleScheduler::Analyze(CSite* site) {
  if (site == nullptr || suspended_) return AnalysisHost::StartResult::kUnchanged;
  return host_.StartOrQueue(*site);
}

void ConsoleScheduler::AnalyzeAll() {
  if (!suspended_) host_.StartOrQueueAll();
}

void ConsoleScheduler::Stop(CSite* site) {
  if (site != nullptr) host_.Stop(*site);
}

}  // namespace tf::console
