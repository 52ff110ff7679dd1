// Frames: header layout, scrambling, length limits and the reader's checks.
#include "service/frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/common/tagged_record.h"

namespace tf::service {
namespace {

// Reads from a byte string the way the socket reader does.
class StringReader {
 public:
  explicit StringReader(std::string data) : data_(std::move(data)) {}
  ReadExactlyFunction Function() {
    return [this](char* buffer, std::size_t count) {
      if (data_.size() - position_ < count) return false;
      std::memcpy(buffer, data_.data() + position_, count);
      position_ += count;
      return true;
    };
  }

 private:
  std::string data_;
  std::size_t position_ = 0;
};

std::string SmallRecord() {
  std::string record;
  RecordPutString(record, 11, "hello");
  RecordPutInt(record, 13, 16);
  RecordPutEnd(record);
  return record;
}

std::string Header(std::uint32_t length, std::uint32_t message_class = 1) {
  std::string header(kFrameHeaderSize, '\0');
  EncodeFrameHeader(FrameHeader{length, message_class, 7, 9, 0}, header.data());
  return header;
}

TEST(FrameTest, HeaderIsFiveLittleEndianFields) {
  char bytes[kFrameHeaderSize];
  EncodeFrameHeader(FrameHeader{0x14, 2, 0x0D, 0x01020304, 0xA0B0C0D0}, bytes);
  const unsigned char expected[] = {0x14, 0, 0, 0, 2, 0, 0, 0, 0x0D, 0, 0, 0,
                                    4,    3, 2, 1, 0xD0, 0xC0, 0xB0, 0xA0};
  EXPECT_EQ(0, std::memcmp(bytes, expected, sizeof expected));
  FrameHeader back = DecodeFrameHeader(bytes);
  EXPECT_EQ(back.parameter, 0x01020304u);
  EXPECT_EQ(back.sequence, 0xA0B0C0D0u);
}

TEST(FrameTest, ScramblingTwiceWithTheSameSequenceRestoresTheBody) {
  std::string body = SmallRecord();
  std::string scrambled = body;
  ScrambleBody(scrambled.data(), scrambled.size(), 12345);
  EXPECT_NE(scrambled, body);
  std::string wrong = scrambled;
  ScrambleBody(wrong.data(), wrong.size(), 12346);
  EXPECT_NE(wrong, body);
  ScrambleBody(scrambled.data(), scrambled.size(), 12345);
  EXPECT_EQ(scrambled, body);
}

TEST(FrameTest, SequenceZeroStartsAtTheStartConstant) {
  EXPECT_EQ(ScrambleStartByte(0), kScrambleStart);
  // Each byte of the sequence is folded in.
  EXPECT_EQ(ScrambleStartByte(0x01000001), kScrambleStart);
  EXPECT_EQ(ScrambleStartByte(0x000000FF), static_cast<std::uint8_t>(kScrambleStart ^ 0xFF));
  std::string zeros(3, '\0');
  ScrambleBody(zeros.data(), zeros.size(), 0);
  unsigned step = (kScrambleStart & 7u) + 1;
  EXPECT_EQ(static_cast<std::uint8_t>(zeros[0]), kScrambleTable[kScrambleStart]);
  EXPECT_EQ(static_cast<std::uint8_t>(zeros[1]), kScrambleTable[(kScrambleStart + step) & 0xFF]);
}

TEST(FrameTest, BuiltFrameReadsBack) {
  QueueMessage sent{2, 13, 42, SmallRecord()};
  StringReader reader(BuildFrame(sent, 777));
  QueueMessage got;
  ASSERT_EQ(ReadFrame(reader.Function(), got), FrameRead::kOk);
  EXPECT_EQ(got.message_class, 2u);
  EXPECT_EQ(got.code, 13u);
  EXPECT_EQ(got.parameter, 42u);
  EXPECT_EQ(got.body, sent.body);
}

TEST(FrameTest, TwentyByteFrameHasNoBody) {
  StringReader reader(Header(20));
  QueueMessage got;
  got.body = "left over";
  ASSERT_EQ(ReadFrame(reader.Function(), got), FrameRead::kOk);
  EXPECT_TRUE(got.body.empty());
}

TEST(FrameTest, LengthLimits) {
  struct Case {
    std::uint32_t length;
    bool valid;
  } cases[] = {{0, false}, {19, false}, {20, true}, {1000000, true}, {1000001, false},
               {0xFFFFFFFF, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidFrameLength(c.length), c.valid) << c.length;
    if (!c.valid) {
      StringReader reader(Header(c.length));
      QueueMessage got;
      EXPECT_EQ(ReadFrame(reader.Function(), got), FrameRead::kBadLength) << c.length;
    }
  }
}

TEST(FrameTest, LargestFrameIsRead) {
  // One string field filling the whole frame.
  std::string record;
  RecordPutString(record, 98, std::string(1000000 - 20 - 1 - 1 - 3, 'x'));
  RecordPutEnd(record);
  ASSERT_EQ(record.size(), 1000000u - 20);
  StringReader reader(BuildFrame(QueueMessage{1, 8, 1, record}, 5));
  QueueMessage got;
  ASSERT_EQ(ReadFrame(reader.Function(), got), FrameRead::kOk);
  EXPECT_EQ(got.body, record);
}

TEST(FrameTest, ShortStreamAndMalformedBodies) {
  std::string frame = BuildFrame(QueueMessage{1, 1, 0, SmallRecord()}, 9);
  StringReader truncated(frame.substr(0, frame.size() - 1));
  QueueMessage got;
  EXPECT_EQ(ReadFrame(truncated.Function(), got), FrameRead::kClosed);

  // A body with bytes after its end byte, and one without an end byte.
  for (std::string body : {SmallRecord() + "x", SmallRecord().substr(0, 5)}) {
    StringReader reader(BuildFrame(QueueMessage{1, 1, 0, body}, 9));
    EXPECT_EQ(ReadFrame(reader.Function(), got), FrameRead::kBadBody);
  }
}

TEST(FrameTest, SequenceNumbersNeverRepeatAcrossThreads) {
  constexpr int kThreads = 4;
  constexpr int kEach = 20000;
  std::vector<std::vector<std::uint32_t>> taken(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&taken, t] {
      for (int i = 0; i < kEach; ++i) taken[t].push_back(NextSendSequence());
    });
  }
  for (auto& thread : threads) thread.join();
  std::set<std::uint32_t> all;
  for (const auto& list : taken) all.insert(list.begin(), list.end());
  EXPECT_EQ(all.size(), static_cast<std::size_t>(kThreads * kEach));
}

}  // namespace
}  // namespace tf::service
