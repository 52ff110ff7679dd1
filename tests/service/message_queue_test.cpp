// The message queue: order, waiting, closing and release of what is left.
#include "engine/common/message_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tf {
namespace {

using namespace std::chrono_literals;

TEST(MessageQueueTest, FirstInFirstOut) {
  CMessageQueue queue;
  for (std::uint32_t code = 1; code <= 3; ++code) queue.Put(MakeMessage(1, code, 0));
  EXPECT_EQ(queue.Count(), 3u);
  for (std::uint32_t code = 1; code <= 3; ++code) EXPECT_EQ(queue.Get()->code, code);
  EXPECT_EQ(queue.TryGet(), nullptr);
}

TEST(MessageQueueTest, GetWithTimeOutKeepsWaitingForTheNextMessage) {
  CMessageQueue queue;
  std::thread putter([&queue] {
    std::this_thread::sleep_for(50ms);
    queue.Put(MakeMessage(2, 4, 0, "body"));
  });
  MessagePtr message = queue.Get(1);  // the time-out passes many times
  putter.join();
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(message->body, "body");
}

TEST(MessageQueueTest, CloseLetsWaitersGoAfterWhatIsQueued) {
  CMessageQueue queue;
  queue.Put(MakeMessage(1, 1, 0));
  queue.Close();
  EXPECT_NE(queue.Get(), nullptr);
  EXPECT_EQ(queue.Get(), nullptr);
  queue.Put(MakeMessage(1, 2, 0));
  EXPECT_EQ(queue.Count(), 0u);

  CMessageQueue waiting;
  std::thread closer([&waiting] {
    std::this_thread::sleep_for(20ms);
    waiting.Close();
  });
  EXPECT_EQ(waiting.Get(), nullptr);
  closer.join();
}

TEST(MessageQueueTest, GetWithinGivesNothingWhenNoneCame) {
  CMessageQueue queue;
  EXPECT_EQ(queue.GetWithin(1ms), nullptr);
}

TEST(MessageQueueTest, BoundedPutWaitsForSpace) {
  CMessageQueue queue(1);
  queue.Put(MakeMessage(1, 1, 0));
  std::thread taker([&queue] {
    std::this_thread::sleep_for(20ms);
    queue.Get();
  });
  queue.Put(MakeMessage(1, 2, 0));
  taker.join();
  EXPECT_EQ(queue.Get()->code, 2u);
}

TEST(MessageQueueTest, ClearAndDestructionReleaseMessagesAndBodies) {
  // The sanitizer build reports any leak.
  auto queue = std::make_unique<CMessageQueue>();
  queue->Put(MakeMessage(1, 1, 0, std::string(1000, 'x')));
  queue->Clear();
  EXPECT_EQ(queue->Count(), 0u);
  queue->Put(MakeMessage(1, 1, 0, std::string(1000, 'y')));
  queue.reset();
}

}  // namespace
}  // namespace tf
