// The console's exit path: asks while analyses run or are scheduled, stops
// and waits for every analysis, writes changed sites back and shuts the
// engine down in an order where no thread outlives what it uses.
#pragma once

#include <functional>
#include <string_view>

namespace tf::console {

class ConsoleScheduler;

inline constexpr std::string_view kConfirmStopCaption = "Confirm stop";
inline constexpr std::string_view kRunningQuestion =
    "An analysis is running.\nAre you sure you want to stop Tallyfox?";
inline constexpr std::string_view kScheduledQuestion =
    "An analysis is scheduled to run.\nAre you sure you want to stop Tallyfox?";

// The engine's shut-down, in the order it runs. Tests replace the steps.
struct ShutdownSteps {
  std::function<void()> write_back_sites;
  // The translation dispatcher and workers; they deliver to sites, so they
  // stop before the sites go.
  std::function<void()> stop_translation;
  // Deleting a site also ends its region thread.
  std::function<void()> delete_sites;
  std::function<void()> close_databases;
};
ShutdownSteps EngineShutdown();

// Stops every analysis and waits for it, then shuts the engine down; no
// analysis starts afterwards.
void ShutDown(ConsoleScheduler& scheduler, const ShutdownSteps& steps = EngineShutdown());

// True when the program may end; the engine is then shut down. False when
// the user cancelled a question: nothing changed and ticks go on.
bool ConfirmStop(ConsoleScheduler& scheduler, const ShutdownSteps& steps = EngineShutdown());

}  // namespace tf::console
