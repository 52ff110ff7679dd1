// HookSlot: one replaceable, process-wide handler that a program installs
// and any thread calls. The handler is copied under the slot's lock and
// called outside it, so that a handler may take other locks, wait for a
// person, or replace itself.
#pragma once

#include <mutex>
#include <utility>

namespace tf {

template <typename Handler>
class HookSlot {
 public:
  // Installs the handler (an empty one removes it); returns the one replaced.
  Handler Set(Handler handler) {
    std::lock_guard<std::mutex> guard(lock_);
    return std::exchange(handler_, std::move(handler));
  }
  // The handler installed now, possibly empty.
  Handler Get() const {
    std::lock_guard<std::mutex> guard(lock_);
    return handler_;
  }
  // Calls the handler installed now, if any.
  template <typename... Args>
  void Call(Args&&... args) const {
    if (Handler current = Get()) current(std::forward<Args>(args)...);
  }

 private:
  mutable std::mutex lock_;
  Handler handler_{};
};

}  // namespace tf
