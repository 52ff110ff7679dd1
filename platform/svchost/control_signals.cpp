#include "platform/svchost/control_signals.h"

#include <pthread.h>

#include <cerrno>
#include <ctime>
#include <initializer_list>

namespace tf::svchost {

ControlSignals::ControlSignals() {
  sigemptyset(&controls_);
  for (int number : {SIGTERM, SIGINT, SIGTSTP, SIGCONT}) sigaddset(&controls_, number);
  pthread_sigmask(SIG_BLOCK, &controls_, &previous_);
}

ControlSignals::~ControlSignals() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

Control ControlSignals::Wait(int timeout_ms) {
  for (;;) {
    int number;
    if (timeout_ms < 0) {
      number = sigwaitinfo(&controls_, nullptr);
    } else {
      timespec limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000000L};
      number = sigtimedwait(&controls_, nullptr, &limit);
      if (number < 0 && errno == EAGAIN) return Control::kNone;
    }
    if (number < 0) continue;  // interrupted
    switch (number) {
      case SIGTSTP: return Control::kPause;
      case SIGCONT: return Control::kContinue;
      default: return Control::kStop;
    }
  }
}

}  // namespace tf::svchost
