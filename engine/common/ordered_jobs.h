// One worker thread that runs jobs in the order they were posted. A run
// hands its period rows to it, so that counting the next hour goes on
// while the last one is written.
//
// At most `limit` jobs wait at a time: a producer faster than the worker
// waits at Post instead of piling the rows up in memory. A job that throws
// ends nothing else; the first exception comes back from Drain. The
// destructor runs every posted job before the thread ends.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace tf {

class OrderedJobs {
 public:
  using Job = std::function<void()>;

  explicit OrderedJobs(std::size_t limit = 8);
  ~OrderedJobs();
  OrderedJobs(const OrderedJobs&) = delete;
  OrderedJobs& operator=(const OrderedJobs&) = delete;

  void Post(Job job);
  // Returns when every job posted before has run; rethrows the first
  // exception a job threw since the last Drain.
  void Drain();

 private:
  void Work();

  const std::size_t limit_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> jobs_;
  bool running_job_ = false;
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::thread thread_;
};

}  // namespace tf
