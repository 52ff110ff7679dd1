#include "engine/common/hook_slot.h"

#include <gtest/gtest.h>

#include <functional>

namespace tf {
namespace {

TEST(HookSlotTest, CallsTheInstalledHandlerAndHandsBackTheReplacedOne) {
  HookSlot<std::function<void(int&)>> slot;
  int value = 0;
  slot.Call(value);  // nothing installed: nothing happens
  EXPECT_EQ(value, 0);
  EXPECT_FALSE(slot.Set([](int& v) { v += 1; }));
  slot.Call(value);
  EXPECT_EQ(value, 1);
  std::function<void(int&)> first = slot.Set([](int& v) { v += 10; });
  ASSERT_TRUE(first);
  slot.Call(value);
  EXPECT_EQ(value, 11);
  EXPECT_TRUE(slot.Set({}));
  EXPECT_FALSE(slot.Get());
}

TEST(HookSlotTest, AHandlerMayReplaceItselfWhileCalled) {
  HookSlot<std::function<void()>> slot;
  int calls = 0;
  slot.Set([&] {
    ++calls;
    slot.Set({});
  });
  slot.Call();
  slot.Call();
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace tf
