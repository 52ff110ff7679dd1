#include "engine/logs/line_reader.h"

#include <cstring>

#include "engine/logs/log_record.h"

namespace tf {
namespace {

// Whether any byte of the range is below 32, eight bytes at a time. Bytes
// of 128 and above never count.
bool HasControlByte(const char* p, size_t n) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    // Standard "has a byte below 32" test; exact for the any-byte question.
    if ((w - kOnes * 32) & ~w & kHigh) return true;
  }
  for (; i < n; ++i) {
    if (static_cast<unsigned char>(p[i]) < 32) return true;
  }
  return false;
}

}  // namespace

LineReader::LineReader() : buffer_(new char[kBlockSize]) { carry_.reserve(kMaxLineLength + 8); }

void LineReader::Start(ReadOnlyFile* file) {
  file_ = file;
  Rewind();
}

void LineReader::Rewind() {
  pos_ = len_ = 0;
  buffer_offset_ = 0;
  file_pos_ = -1;  // unknown: the next fill seeks
  line_start_ = 0;
  carry_.clear();
  if (file_ == nullptr || !Fill(0)) return;
  if (len_ >= 3 && std::memcmp(buffer_.get(), "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
}

bool LineReader::Fill(std::int64_t offset) {
  if (file_ == nullptr) return false;
  buffer_offset_ = offset;
  pos_ = len_ = 0;
  if (offset != file_pos_ && !file_->Seek(offset)) {
    file_pos_ = -1;
    return false;
  }
  long n = file_->Read(buffer_.get(), kBlockSize);
  if (n <= 0) {
    file_pos_ = -1;
    return false;
  }
  len_ = static_cast<size_t>(n);
  file_pos_ = offset + n;
  return true;
}

void LineReader::AppendFiltered(const char* begin, const char* end) {
  // Room for a few bytes beyond the limit, so that the final cut can see
  // whether it splits a character.
  constexpr size_t kRoom = kMaxLineLength + 4;
  for (const char* p = begin; p < end && carry_.size() < kRoom; ++p) {
    if (static_cast<unsigned char>(*p) >= 32) carry_.push_back(*p);
  }
}

std::string_view LineReader::FinishCarried() {
  std::string_view line = CutAtCharacter(carry_, kMaxLineLength);
  return line;
}

bool LineReader::ReadLogLine(std::string_view& line) {
  carry_.clear();
  bool carrying = false;
  for (;;) {
    if (pos_ >= len_) {
      std::int64_t next = buffer_offset_ + static_cast<std::int64_t>(len_);
      if (!Fill(next)) {
        // Offset() stays at the end of the last complete line.
        buffer_offset_ = carrying ? line_start_ : next;
        return false;
      }
    }
    if (!carrying) line_start_ = buffer_offset_ + static_cast<std::int64_t>(pos_);
    const char* begin = buffer_.get() + pos_;
    const char* end = buffer_.get() + len_;
    const char* feed = static_cast<const char*>(std::memchr(begin, '\n', end - begin));
    if (feed == nullptr) {
      AppendFiltered(begin, end);
      carrying = true;
      pos_ = len_;
      continue;
    }
    pos_ = static_cast<size_t>(feed - buffer_.get()) + 1;
    if (!carrying) {
      const char* stop = feed;
      if (stop > begin && stop[-1] == '\r') --stop;
      size_t size = static_cast<size_t>(stop - begin);
      if (size <= kMaxLineLength && !HasControlByte(begin, size)) {
        line = std::string_view(begin, size);
        return true;
      }
    }
    AppendFiltered(begin, feed);
    line = FinishCarried();
    return true;
  }
}

void LineReader::StepBack() {
  carry_.clear();
  if (line_start_ >= buffer_offset_ &&
      line_start_ <= buffer_offset_ + static_cast<std::int64_t>(len_)) {
    pos_ = static_cast<size_t>(line_start_ - buffer_offset_);
    return;
  }
  Fill(line_start_);
}

size_t NextToken(std::string_view text, size_t pos, std::string_view& token) {
  size_t n = text.size();
  while (pos < n && text[pos] == ' ') ++pos;
  if (pos < n && text[pos] == '"') {
    size_t start = pos + 1;
    size_t close = text.find('"', start);
    if (close == std::string_view::npos) close = n;
    token = text.substr(start, close - start);
    pos = close < n ? close + 1 : n;
  } else {
    size_t start = pos;
    while (pos < n && text[pos] != ' ' && text[pos] != ',') ++pos;
    token = text.substr(start, pos - start);
    if (token == "-") token = std::string_view();
  }
  if (pos < n && text[pos] == ',') ++pos;
  return pos;
}

bool IsBlankLine(std::string_view line) {
  for (char c : line) {
    if (static_cast<unsigned char>(c) >= '!') return false;
  }
  return true;
}

}  // namespace tf
