// CBlockingQueue: a bounded first-in first-out queue of translation
// requests. A producer blocks while it is full and a consumer while it is
// empty, so a backlog of lookups slows the analysis down instead of growing
// without end.
//
// Closing the queue is how its threads are stopped: every blocked call
// returns, Take gives nothing, and requests put into a closed queue are
// dropped.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

namespace tf {

class TranslationRequest;

class CBlockingQueue {
 public:
  static constexpr std::int32_t kCapacity = 5;

  // A capacity of 0 never blocks a producer.
  explicit CBlockingQueue(std::int32_t capacity = kCapacity) : capacity_(capacity) {}
  ~CBlockingQueue();
  CBlockingQueue(const CBlockingQueue&) = delete;
  CBlockingQueue& operator=(const CBlockingQueue&) = delete;

  // Blocks while the queue is full. False when the queue is closed; the
  // request is then destroyed.
  bool Put(std::unique_ptr<TranslationRequest> request);
  // Blocks while the queue is empty; nullptr once it is closed.
  std::unique_ptr<TranslationRequest> Take();
  // Destroys every queued request.
  void Clear();
  std::int32_t Count() const;

  // Drops what is queued and wakes every blocked caller, for good.
  void Close();

 private:
  const std::int32_t capacity_;
  mutable std::mutex mutex_;
  std::condition_variable not_full_;
  std::condition_variable not_empty_;
  std::deque<std::unique_ptr<TranslationRequest>> requests_;
  bool closed_ = false;
};

}  // namespace tf
