#include "engine/names/blocking_queue.h"

#include "engine/names/site_translation.h"

namespace tf {

CBlockingQueue::~CBlockingQueue() { Clear(); }

bool CBlockingQueue::Put(std::unique_ptr<TranslationRequest> request) {
  std::unique_lock<std::mutex> lock(mutex_);
  not_full_.wait(lock, [&] {
    return closed_ || capacity_ == 0 || static_cast<std::int32_t>(requests_.size()) < capacity_;
  });
  if (closed_) {
    // Destroyed outside the lock: the destructor takes its site's lock.
    lock.unlock();
    request.reset();
    return false;
  }
  requests_.push_back(std::move(request));
  not_empty_.notify_one();
  return true;
}

std::unique_ptr<TranslationRequest> CBlockingQueue::Take() {
  std::unique_lock<std::mutex> lock(mutex_);
  not_empty_.wait(lock, [&] { return closed_ || !requests_.empty(); });
  if (closed_) return nullptr;
  std::unique_ptr<TranslationRequest> request = std::move(requests_.front());
  requests_.pop_front();
  not_full_.notify_one();
  return request;
}

void CBlockingQueue::Clear() {
  std::deque<std::unique_ptr<TranslationRequest>> dropped;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    dropped.swap(requests_);
    not_full_.notify_all();
  }
}

std::int32_t CBlockingQueue::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<std::int32_t>(requests_.size());
}

void CBlockingQueue::Close() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    not_full_.notify_all();
    not_empty_.notify_all();
  }
  Clear();
}

}  // namespace tf
