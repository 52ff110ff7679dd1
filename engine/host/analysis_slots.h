// The running-analysis count under MaxAnalyses. The scheduler takes a slot
// when it starts an analysis and the analysis thread gives it back at its
// end, so the count is atomic and a slot is taken only while one is free.
#pragma once

#include <atomic>

namespace tf {

class AnalysisSlots {
 public:
  // True when a slot was free and is now taken.
  bool TryTake(int limit) {
    int running = running_.load();
    while (running < limit) {
      if (running_.compare_exchange_weak(running, running + 1)) return true;
    }
    return false;
  }
  void Give() { running_.fetch_sub(1); }
  int running() const { return running_.load(); }

 private:
  std::atomic<int> running_{0};
};

}  // namespace tf
