#include "engine/common/text_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace tf {
namespace {

TEST(TextBufferTest, EmptyBufferHoldsNothing) {
  CTextBuffer buffer;
  buffer.AppendText("");
  buffer.AppendBytes("x", 0);
  EXPECT_EQ(buffer.capacity(), 0);
  EXPECT_STREQ(buffer.data(), "");
  EXPECT_EQ(buffer.CopyOut(), "");
}

TEST(TextBufferTest, GrowsByStepThenByHalfTheCapacity) {
  CTextBuffer buffer;
  buffer.AppendText("abc");
  EXPECT_EQ(buffer.capacity(), 3 + 200);

  // 3 + 199 >= 203 - 1: grows by the step (half of 203 is 101, smaller).
  buffer.AppendBytes(std::string(199, 'x').data(), 199);
  EXPECT_EQ(buffer.length(), 202);
  EXPECT_EQ(buffer.capacity(), 199 + 203 + 200);

  // Half of 602 (301) now beats the step of 200.
  buffer.AppendBytes(std::string(400, 'y').data(), 400);
  EXPECT_EQ(buffer.capacity(), 400 + 602 + 301);
  EXPECT_EQ(buffer.data()[buffer.length()], '\0');

  std::string expected = "abc" + std::string(199, 'x') + std::string(400, 'y');
  EXPECT_EQ(buffer.CopyOut(), expected);
}

TEST(TextBufferTest, StepNeverExceeds20000AndBytesKeepZeros) {
  CTextBuffer buffer;
  const std::string block(50000, 'z');
  buffer.AppendBytes(block.data(), block.size());
  buffer.AppendBytes(block.data(), block.size());  // half of 50200 is above the cap
  EXPECT_EQ(buffer.capacity(), 50000 + 50200 + 20000);

  CTextBuffer binary;
  binary.AppendBytes("a\0b", 3);
  EXPECT_EQ(binary.length(), 3);
  EXPECT_EQ(binary.CopyOut(), std::string("a\0b", 3));
}

}  // namespace
}  // namespace tf
