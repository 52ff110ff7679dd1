// CTextBuffer: a growable text that collects bytes arriving in pieces (a
// directory listing, a multi-line server reply) and hands out a copy.
//
// Growth is geometric but bounded: each enlargement adds the larger of the
// current grow step and half the capacity, the step never above 20000 bytes,
// so a large text is not copied byte by byte and a small one wastes little.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tf {

class CTextBuffer {
 public:
  CTextBuffer() = default;
  CTextBuffer(const CTextBuffer&) = delete;
  CTextBuffer& operator=(const CTextBuffer&) = delete;

  // An empty text adds nothing. Throws std::length_error when the buffer
  // would outgrow its 32-bit sizes.
  void AppendText(std::string_view text);
  // The bytes as they are, zero bytes included.
  void AppendBytes(const void* bytes, std::size_t count);
  // A copy of the text.
  std::string CopyOut() const;

  // The text, ended by a zero byte; "" before anything was appended.
  const char* data() const { return data_ ? data_.get() : ""; }
  std::string_view view() const { return {data(), static_cast<std::size_t>(length_)}; }
  std::int32_t length() const { return length_; }
  std::int32_t capacity() const { return capacity_; }

 private:
  std::unique_ptr<char[]> data_;
  std::int32_t capacity_ = 0;
  std::int32_t length_ = 0;
  std::int32_t grow_step_ = 200;
};

}  // namespace tf
