#include "engine/common/ordered_jobs.h"

#include <utility>

namespace tf {

OrderedJobs::OrderedJobs(std::size_t limit) : limit_(limit == 0 ? 1 : limit) {
  thread_ = std::thread([this] { Work(); });
}

OrderedJobs::~OrderedJobs() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void OrderedJobs::Post(Job job) {
  std::unique_lock<std::mutex> guard(mutex_);
  changed_.wait(guard, [this] { return jobs_.size() < limit_; });
  jobs_.push_back(std::move(job));
  guard.unlock();
  changed_.notify_all();
}

void OrderedJobs::Drain() {
  std::unique_lock<std::mutex> guard(mutex_);
  changed_.wait(guard, [this] { return jobs_.empty() && !running_job_; });
  if (failure_ != nullptr) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void OrderedJobs::Work() {
  std::unique_lock<std::mutex> guard(mutex_);
  for (;;) {
    changed_.wait(guard, [this] { return !jobs_.empty() || stopping_; });
    if (jobs_.empty()) return;  // stopping, and nothing left to run
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    running_job_ = true;
    guard.unlock();
    changed_.notify_all();
    try {
      job();
    } catch (...) {
      guard.lock();
      if (failure_ == nullptr) failure_ = std::current_exception();
      guard.unlock();
    }
    guard.lock();
    running_job_ = false;
    changed_.notify_all();
  }
}

}  // namespace tf
