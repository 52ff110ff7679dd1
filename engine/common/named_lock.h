// A re-entrant lock that records the name of the operation holding it, so
// that a stuck run can tell what it waits for.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "engine/common/text.h"

namespace tf {

class NamedLock {
 public:
  static constexpr std::size_t kHolderSize = 50;  // with the terminator

  // The outermost hold records the operation (at most 49 bytes). A hold
  // nested in one of the same thread only counts: a run takes the lock
  // again for nearly every lookup of every record, and a second lock of
  // the mutex costs many times a count.
  void Enter(std::string_view operation) {
    const std::thread::id self = std::this_thread::get_id();
    // Only this thread ever stores its own id here, so seeing it means
    // holding the lock.
    if (owner_.load(std::memory_order_relaxed) == self) {
      ++depth_;
      return;
    }
    if (!mutex_.try_lock()) Wait();
    owner_.store(self, std::memory_order_relaxed);
    depth_ = 1;
    holder_.assign(CutUtf8(operation, kHolderSize - 1));
  }
  void Leave() {
    if (--depth_ > 0) return;
    holder_.clear();
    owner_.store(std::thread::id(), std::memory_order_relaxed);
    mutex_.unlock();
  }

  // Whether another thread waits to enter: a background writer lets it in
  // between its short holds (see GiveWay).
  bool Wanted() const { return waiting_.load(std::memory_order_relaxed) > 0; }
  // Returns when no thread waits to enter, so that a writer that holds the
  // lock in many short turns does not keep the others out.
  void GiveWay() const {
    while (Wanted()) std::this_thread::yield();
  }

 private:
  // A waiter first yields a few times before it sleeps: the holds it waits
  // for are mostly a few rows long, far shorter than a sleep and a wake.
  static constexpr int kYieldsBeforeSleep = 64;

  void Wait() {
    waiting_.fetch_add(1, std::memory_order_relaxed);
    bool entered = false;
    for (int i = 0; i < kYieldsBeforeSleep && !entered; ++i) {
      std::this_thread::yield();
      entered = mutex_.try_lock();
    }
    if (!entered) mutex_.lock();
    waiting_.fetch_sub(1, std::memory_order_relaxed);
  }

  std::atomic<int> waiting_{0};
  std::atomic<std::thread::id> owner_{};
  std::mutex mutex_;
  std::string holder_;  // the outermost holder's operation
  int depth_ = 0;       // nested holds of the owning thread
};

}  // namespace tf
