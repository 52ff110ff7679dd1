// The process-wide busy counter and the message pump. The console's
// scheduler tick does nothing while the counter is positive, so work that
// must not overlap a tick (site-list changes, modal dialogs) raises it.
#pragma once

namespace tf {

void BeginBusy();
void EndBusy();
int BusyCount();

// The busy counter raised for the scope's lifetime.
class BusyScope {
 public:
  BusyScope() { BeginBusy(); }
  ~BusyScope() { EndBusy(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
};

// Lets the user interface breathe during long work on its own thread. The
// program that owns a user interface installs its pump from its main thread;
// PumpMessages runs it only there, so other threads may call it freely.
using MessagePump = void (*)();
void SetMessagePump(MessagePump pump);
void PumpMessages();

}  // namespace tf
