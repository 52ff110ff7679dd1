// CMessageQueue: a first-in first-out queue of messages between the threads
// of one connection of the service (the socket's receiver and sender, and
// the command thread) and for the alerts kept while no console is
// connected. A message is a class (1 command or reply, 2 notification), a
// code, one integer parameter and an optional TaggedRecord body.
//
// The queue's lock is never held while waiting. Closing a queue is how the
// threads that wait on it are let go: what is queued can still be taken,
// then every taker gets nothing, and messages put afterwards are dropped.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

namespace tf {

enum MessageClass : std::uint32_t {
  kMessageCommand = 1,       // a command, or the reply to one
  kMessageNotification = 2,  // sent without being asked
};

struct QueueMessage {
  std::uint32_t message_class = 0;
  std::uint32_t code = 0;
  std::uint32_t parameter = 0;
  std::string body;  // a TaggedRecord; empty when the message has none
};

using MessagePtr = std::unique_ptr<QueueMessage>;

MessagePtr MakeMessage(std::uint32_t message_class, std::uint32_t code, std::uint32_t parameter,
                       std::string body = {});

class CMessageQueue {
 public:
  // A capacity of 0 never makes Put wait.
  explicit CMessageQueue(std::size_t capacity = 0) : capacity_(capacity) {}
  // Releases every message left.
  ~CMessageQueue() = default;
  CMessageQueue(const CMessageQueue&) = delete;
  CMessageQueue& operator=(const CMessageQueue&) = delete;

  // Appends at the tail; waits while the queue is bounded and full. Dropped
  // when the queue is closed.
  void Put(MessagePtr message);
  // Removes and returns the head, waiting until there is one. A time-out
  // (in milliseconds; 0 or below: none) only re-arms the wait. Gives nothing
  // only once the queue is closed and empty.
  MessagePtr Get(int timeout_ms = 0);
  // The head, or nothing when the queue is empty.
  MessagePtr TryGet();
  // The head, waiting at most `limit`; nothing when none came.
  MessagePtr GetWithin(std::chrono::milliseconds limit);
  // Releases every message.
  void Clear();
  // Wakes every waiter for good (see above).
  void Close();
  std::size_t Count() const;

 private:
  MessagePtr TakeHead();

  const std::size_t capacity_;
  mutable std::mutex mutex_;
  std::condition_variable space_;
  std::condition_variable data_;
  std::deque<MessagePtr> messages_;
  bool closed_ = false;
};

}  // namespace tf
