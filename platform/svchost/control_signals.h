// The service's controls arrive as signals: SIGTERM (and SIGINT in a
// terminal) stops, SIGTSTP pauses and SIGCONT continues. They are blocked
// in every thread and taken by one waiting thread, so no handler runs in
// the middle of the service's work.
#pragma once

#include <signal.h>

namespace tf::svchost {

enum class Control { kNone, kStop, kPause, kContinue };

class ControlSignals {
 public:
  // Blocks the signals in the calling thread and in every thread it starts
  // from now on; construct it before any thread.
  ControlSignals();
  // Restores the earlier mask.
  ~ControlSignals();
  ControlSignals(const ControlSignals&) = delete;
  ControlSignals& operator=(const ControlSignals&) = delete;

  // The next control; kNone when `timeout_ms` (0 or more) passed first.
  Control Wait(int timeout_ms = -1);

 private:
  sigset_t controls_;
  sigset_t previous_;
};

}  // namespace tf::svchost
