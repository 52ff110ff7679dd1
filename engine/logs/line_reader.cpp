#include "engine/logs/line_reader.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/common/text.h"

namespace tf {
namespace {

#if defined(__SSE2__)
// Sixteen bytes at a time: the first byte of [p, end) whose bit
// `marks(bytes)` sets, or nullptr with p moved to where fewer than sixteen
// bytes are left, for the caller's own loop.
template <typename Marks>
const char* FindInBlocks(const char*& p, const char* end, Marks marks) {
  for (; end - p >= 16; p += 16) {
    const int found = _mm_movemask_epi8(marks(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
    if (found != 0) return p + __builtin_ctz(static_cast<unsigned>(found));
  }
  return nullptr;
}
#endif

// The first byte below 32 in [p, end), or end; sixteen bytes at a time
// where the machine has the instructions, else eight. Bytes of 128 and
// above never count. The line feed is such a byte, so one scan finds the
// end of a clean line and any byte the reader must drop.
const char* FindControlByte(const char* p, const char* end) {
#if defined(__SSE2__)
  // A byte is below 32 when its smaller with 31 is itself.
  const __m128i limit = _mm_set1_epi8(31);
  auto below = [limit](__m128i bytes) { return _mm_cmpeq_epi8(_mm_min_epu8(bytes, limit), bytes); };
  if (const char* found = FindInBlocks(p, end, below)) return found;
#endif
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  for (; end - p >= 8; p += 8) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    // Flags bytes below 32; the lowest flag is exact (a borrow only
    // disturbs the bytes above it), and bytes are in memory order on
    // little-endian machines.
    std::uint64_t flags = (w - kOnes * 32) & ~w & kHigh;
    if (flags != 0) {
      if constexpr (std::endian::native == std::endian::little) {
        return p + (__builtin_ctzll(flags) >> 3);
      }
      break;
    }
  }
  for (; p < end; ++p) {
    if (static_cast<unsigned char>(*p) < 32) return p;
  }
  return end;
}

// The first blank or comma in [p, end), or end: where an unquoted token
// stops. Sixteen bytes at a time where the machine has the instructions.
const char* FindTokenEnd(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i blank = _mm_set1_epi8(' ');
  const __m128i comma = _mm_set1_epi8(',');
  auto stops = [blank, comma](__m128i bytes) {
    return _mm_or_si128(_mm_cmpeq_epi8(bytes, blank), _mm_cmpeq_epi8(bytes, comma));
  };
  if (const char* found = FindInBlocks(p, end, stops)) return found;
#endif
  while (p < end && *p != ' ' && *p != ',') ++p;
  return p;
}

}  // namespace

LineReader::LineReader() : buffer_(new char[kBlockSize]) { carry_.reserve(kMaxLineLength + 8); }

void LineReader::Start(ReadOnlyFile* file, std::string_view name) {
  file_ = file;
  name_.assign(name);
  Rewind();
}

void LineReader::Rewind() {
  pos_ = len_ = 0;
  buffer_offset_ = 0;
  file_pos_ = -1;  // unknown: the next fill seeks
  line_start_ = 0;
  line_number_ = 0;
  numbered_from_ = 0;
  carry_.clear();
  if (file_ == nullptr || !Fill(0)) return;
  if (len_ >= 3 && std::memcmp(buffer_.get(), "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
}

bool LineReader::ResumeAt(std::int64_t offset) {
  if (offset <= 0 || file_ == nullptr) return false;
  std::int64_t before = Offset();
  if (!Fill(offset - 1) || buffer_[0] != '\n') {
    Fill(before);
    return false;
  }
  pos_ = 1;
  line_start_ = offset;
  carry_.clear();
  line_number_ = 0;
  numbered_from_ = offset;
  return true;
}

std::string LineReader::Place() const {
  std::string place = "line " + std::to_string(line_number_);
  if (numbered_from_ != 0) place += " after byte " + std::to_string(numbered_from_);
  return place;
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
    if (!carrying) {
      // A clean line: nothing below 32 before its line feed (or CR LF).
      const char* stop = FindControlByte(begin, end);
      const char* feed = stop;
      if (stop < end && *stop == '\r' && stop + 1 < end && stop[1] == '\n') feed = stop + 1;
      if (feed < end && *feed == '\n' &&
          static_cast<size_t>(stop - begin) <= kMaxLineLength) {
        pos_ = static_cast<size_t>(feed - buffer_.get()) + 1;
        line = std::string_view(begin, static_cast<size_t>(stop - begin));
        ++line_number_;
        return true;
      }
    }
    const char* feed = static_cast<const char*>(std::memchr(begin, '\n', end - begin));
    if (feed == nullptr) {
      AppendFiltered(begin, end);
      carrying = true;
      pos_ = len_;
      continue;
    }
    pos_ = static_cast<size_t>(feed - buffer_.get()) + 1;
    AppendFiltered(begin, feed);
    line = CutUtf8(carry_, kMaxLineLength);
    ++line_number_;
    return true;
  }
}

void LineReader::StepBack() {
  carry_.clear();
  if (line_number_ > 0) --line_number_;
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
    pos = static_cast<size_t>(FindTokenEnd(text.data() + pos, text.data() + n) - text.data());
    token = text.substr(start, pos - start);
    if (token == "-") token = std::string_view();
  }
  if (pos < n && text[pos] == ',') ++pos;
  return pos;
}

std::string_view NextWord(std::string_view text, size_t& pos) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
  size_t start = pos;
  size_t blank = text.find(' ', pos);
  pos = blank == std::string_view::npos ? text.size() : blank;
  return text.substr(start, pos - start);
}

bool IsBlankLine(std::string_view line) {
  for (char c : line) {
    if (static_cast<unsigned char>(c) >= '!') return false;
  }
  return true;
}

}  // namespace tf
