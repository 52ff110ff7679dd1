// Frames on the wire: a 20-byte header of five little-endian 32-bit fields
// (total length, class, code, parameter, sequence) and a TaggedRecord body
// scrambled with a byte stream that the frame's sequence number picks from
// a fixed table. The scramble hides nothing from anyone who has this
// program: it is not encryption.
//
// The table and the start constant are shared by the service and every
// client of it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/common/message_queue.h"

namespace tf::service {

constexpr std::uint32_t kFrameHeaderSize = 20;
constexpr std::uint32_t kMaxFrameLength = 1000000;

extern const std::array<std::uint8_t, 256> kScrambleTable;
constexpr std::uint8_t kScrambleStart = 0xA7;

// In place; the same call with the same sequence undoes it.
void ScrambleBody(char* bytes, std::size_t count, std::uint32_t sequence);
// The table index the stream of `sequence` starts at.
std::uint8_t ScrambleStartByte(std::uint32_t sequence);

struct FrameHeader {
  std::uint32_t length = kFrameHeaderSize;
  std::uint32_t message_class = 0;
  std::uint32_t code = 0;
  std::uint32_t parameter = 0;
  std::uint32_t sequence = 0;
};

void EncodeFrameHeader(const FrameHeader& header, char* out);
FrameHeader DecodeFrameHeader(const char* bytes);
bool IsValidFrameLength(std::uint32_t length);

// The whole frame of a message: header and scrambled body.
std::string BuildFrame(const QueueMessage& message, std::uint32_t sequence);

// The service's send counter: each frame sent on any connection takes the
// next value, so no two frames carry the same one before it wraps.
std::uint32_t NextSendSequence();

// Fills the buffer completely; false when the peer closed or the read
// failed.
using ReadExactlyFunction = std::function<bool(char* buffer, std::size_t count)>;

enum class FrameRead {
  kOk,
  kClosed,      // the stream ended or failed
  kBadLength,   // the header's length is below 20 or above 1,000,000
  kBadBody,     // the body is not exactly one well-formed TaggedRecord
};

// Reads one frame and unscrambles its body into `out`. A body is accepted
// only when it is one well-formed record that fills the frame, so nothing
// that reads its fields later can run past it.
FrameRead ReadFrame(const ReadExactlyFunction& read, QueueMessage& out);

// Whether a body holds exactly one well-formed record.
bool IsWellFormedBody(std::string_view body);

}  // namespace tf::service
