#include "engine/common/busy.h"

#include <atomic>
#include <thread>

namespace tf {

namespace {

std::atomic<int> busy_count{0};
std::atomic<MessagePump> pump{nullptr};
std::atomic<std::thread::id> pump_thread{};

}  // namespace

void BeginBusy() { ++busy_count; }
void EndBusy() { --busy_count; }
int BusyCount() { return busy_count.load(); }

void SetMessagePump(MessagePump new_pump) {
  pump_thread = std::this_thread::get_id();
  pump = new_pump;
}

void PumpMessages() {
  MessagePump current = pump.load();
  if (current != nullptr && pump_thread.load() == std::this_thread::get_id()) current();
}

}  // namespace tf
