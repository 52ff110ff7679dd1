// Thread priorities as the system's settings number them: 0 normal, -1 below
// normal, -2 lowest. The engine's worker threads run below the console so
// that long analyses leave the machine responsive.
#pragma once

namespace tf {

// Sets the calling thread's priority; a request the system refuses (a
// higher priority than the thread has) leaves it as it is.
void SetCurrentThreadPriority(int priority);

}  // namespace tf
