#include "engine/common/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tf {

namespace {

// Nice values per step below normal.
constexpr int kNicePerStep = 5;

}  // namespace

void SetCurrentThreadPriority(int priority) {
  if (priority > 0) priority = 0;
  // Relative to the process (its main thread), which may itself run niced.
  // On Linux PRIO_PROCESS with a thread id sets that thread's value alone.
  int base = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
  auto thread = static_cast<id_t>(syscall(SYS_gettid));
  setpriority(PRIO_PROCESS, thread, base - priority * kNicePerStep);
}

}  // namespace tf
