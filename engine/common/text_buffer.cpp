#include "engine/common/text_buffer.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace tf {

void CTextBuffer::AppendText(std::string_view text) { AppendBytes(text.data(), text.size()); }

void CTextBuffer::AppendBytes(const void* bytes, std::size_t count) {
  if (count == 0) return;
  constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
  if (count > static_cast<std::size_t>(kLimit)) throw std::length_error("text buffer too long");
  const auto n = static_cast<std::int32_t>(count);
  if (!data_) {
    if (std::int64_t{n} + grow_step_ > kLimit) throw std::length_error("text buffer too long");
    capacity_ = n + grow_step_;
    data_ = std::make_unique<char[]>(capacity_);
  } else if (std::int64_t{length_} + n >= capacity_ - 1) {
    const std::int32_t half = capacity_ / 2;
    if (half > grow_step_) grow_step_ = half > 20000 ? 20000 : half;
    const std::int64_t wanted = std::int64_t{n} + capacity_ + grow_step_;
    if (wanted > kLimit) throw std::length_error("text buffer too long");
    const auto capacity = static_cast<std::int32_t>(wanted);
    auto grown = std::make_unique<char[]>(capacity);
    std::memcpy(grown.get(), data_.get(), static_cast<std::size_t>(length_));
    data_ = std::move(grown);
    capacity_ = capacity;
  }
  std::memcpy(data_.get() + length_, bytes, count);
  length_ += n;
  data_[length_] = '\0';
}

std::string CTextBuffer::CopyOut() const { return std::string(view()); }

}  // namespace tf
