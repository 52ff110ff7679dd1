// One analysis thread: joined when the object goes away, never detached or
// killed. finished() says when its work has returned, so that the host can
// join it without waiting while it holds the site list's lock.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace tf {

class AnalysisThread {
 public:
  explicit AnalysisThread(std::function<void()> work);
  ~AnalysisThread();
  AnalysisThread(const AnalysisThread&) = delete;
  AnalysisThread& operator=(const AnalysisThread&) = delete;

  bool finished() const { return finished_.load(std::memory_order_acquire); }

 private:
  std::atomic<bool> finished_{false};  // before the thread, which sets it
  std::thread thread_;
};

}  // namespace tf
