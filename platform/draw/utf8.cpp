#include "platform/draw/utf8.h"

namespace tf::draw {
namespace {

// Length of the well-formed character starting at text[i], or 0 when the
// bytes there are not one.
std::size_t CharLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length;
  unsigned min_second = 0x80, max_second = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) min_second = 0xA0;
    if (lead == 0xED) max_second = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) min_second = 0x90;
    if (lead == 0xF4) max_second = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < min_second || byte(i + 1) > max_second) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  }
  return length;
}

std::size_t StepLength(std::string_view text, std::size_t i) {
  std::size_t length = CharLength(text, i);
  return length == 0 ? 1 : length;
}

}  // namespace

std::size_t Utf8Length(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); i += StepLength(text, i)) ++count;
  return count;
}

std::string_view Utf8CutBytes(std::string_view text, std::size_t max_bytes) {
  std::size_t end = 0;
  while (end < text.size()) {
    std::size_t next = end + StepLength(text, end);
    if (next > max_bytes) break;
    end = next;
  }
  return text.substr(0, end);
}

std::string_view Utf8CutChars(std::string_view text, std::size_t max_chars) {
  std::size_t end = 0;
  for (std::size_t count = 0; end < text.size() && count < max_chars; ++count) {
    end += StepLength(text, end);
  }
  return text.substr(0, end);
}

std::string Utf8Sanitize(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = CharLength(text, i);
    if (length == 0) {
      out += '?';
      ++i;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
  }
  return out;
}

}  // namespace tf::draw
