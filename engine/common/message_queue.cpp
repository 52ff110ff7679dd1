#include "engine/common/message_queue.h"

#include <utility>

namespace tf {

MessagePtr MakeMessage(std::uint32_t message_class, std::uint32_t code, std::uint32_t parameter,
                       std::string body) {
  auto message = std::make_unique<QueueMessage>();
  message->message_class = message_class;
  message->code = code;
  message->parameter = parameter;
  message->body = std::move(body);
  return message;
}

void CMessageQueue::Put(MessagePtr message) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (capacity_ != 0) {
    space_.wait(lock, [this] { return closed_ || messages_.size() < capacity_; });
  }
  if (closed_) return;
  messages_.push_back(std::move(message));
  data_.notify_one();
}

MessagePtr CMessageQueue::TakeHead() {
  MessagePtr head = std::move(messages_.front());
  messages_.pop_front();
  space_.notify_one();
  return head;
}

MessagePtr CMessageQueue::Get(int timeout_ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (messages_.empty() && !closed_) {
    if (timeout_ms > 0) {
      data_.wait_for(lock, std::chrono::milliseconds(timeout_ms));
    } else {
      data_.wait(lock);
    }
  }
  if (messages_.empty()) return nullptr;
  return TakeHead();
}

MessagePtr CMessageQueue::TryGet() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (messages_.empty()) return nullptr;
  return TakeHead();
}

MessagePtr CMessageQueue::GetWithin(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(mutex_);
  data_.wait_for(lock, limit, [this] { return closed_ || !messages_.empty(); });
  if (messages_.empty()) return nullptr;
  return TakeHead();
}

void CMessageQueue::Clear() {
  std::deque<MessagePtr> released;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    released.swap(messages_);
    space_.notify_all();
  }
}

void CMessageQueue::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
  space_.notify_all();
  data_.notify_all();
}

std::size_t CMessageQueue::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_.size();
}

}  // namespace tf
