#include "engine/common/named_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace tf {
namespace {

// The lock is another thread's only once the outermost of nested holds
// let go; meanwhile that thread shows as waiting.
TEST(NamedLockTest, AnotherThreadEntersOnlyAfterTheOutermostHoldEnds) {
  NamedLock lock;
  lock.Enter("outer");
  lock.Enter("inner");
  lock.Enter("innermost");
  std::atomic<bool> entered{false};
  std::thread other([&] {
    lock.Enter("other");
    entered = true;
    lock.Enter("other, nested");
    lock.Leave();
    lock.Leave();
  });
  while (!lock.Wanted()) std::this_thread::yield();
  lock.Leave();
  lock.Leave();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(entered) << "a nested hold's end let the lock go";
  lock.Leave();
  other.join();
  EXPECT_TRUE(entered);
  EXPECT_FALSE(lock.Wanted());
  lock.Enter("again");  // free again, for this thread as well
  lock.Leave();
}

}  // namespace
}  // namespace tf
