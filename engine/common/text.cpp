#include "engine/common/text.h"

#include <cstring>

namespace tf {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Bytes of the character that starts with lead; 0 for a byte that starts none.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 0;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string_view CutUtf8(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  // Step back from the first byte left out to the start of its character.
  std::size_t start = max_bytes;
  while (start > 0 && max_bytes - start < 3 &&
         IsContinuation(static_cast<unsigned char>(text[start]))) {
    --start;
  }
  if (start < max_bytes) {
    std::size_t length = SequenceLength(static_cast<unsigned char>(text[start]));
    if (length > 1 && start + length > max_bytes) return text.substr(0, start);
  }
  return text.substr(0, max_bytes);
}

std::size_t BoundedLength(const char* text, std::size_t max) {
  if (text == nullptr || max == 0) return 0;
  const void* end = std::memchr(text, '\0', max);
  return end == nullptr ? max : static_cast<const char*>(end) - text;
}

std::size_t SafeCopy(std::string& dest, std::string_view src, std::size_t size) {
  dest.assign(CutUtf8(src, size == 0 ? 0 : size - 1));
  return dest.size();
}

void SafeAppend(std::string& dest, std::string_view src, std::size_t size) {
  if (size == 0 || dest.size() >= size - 1) return;
  dest.append(CutUtf8(src, size - 1 - dest.size()));
}

std::size_t FindCaseless(std::string_view text, std::string_view pattern) {
  if (pattern.size() > text.size()) return std::string_view::npos;
  for (std::size_t i = 0; i + pattern.size() <= text.size(); ++i) {
    std::size_t j = 0;
    while (j < pattern.size() && LowerAscii(text[i + j]) == LowerAscii(pattern[j])) ++j;
    if (j == pattern.size()) return i;
  }
  return std::string_view::npos;
}

std::string QuoteSql(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    out.push_back(text[i]);
    if (text[i] != '\'') continue;
    // A pair already there stays one pair.
    if (i + 1 < text.size() && text[i + 1] == '\'') ++i;
    out.push_back('\'');
  }
  return out;
}

std::string QuoteSql(std::string_view text, std::size_t size) {
  std::string quoted = QuoteSql(text);
  std::size_t keep = CutUtf8(quoted, size == 0 ? 0 : size - 1).size();
  // Quotes come in pairs, so an odd run at the cut is half a pair.
  std::size_t run = 0;
  while (run < keep && quoted[keep - 1 - run] == '\'') ++run;
  if (run % 2 == 1) --keep;
  quoted.resize(keep);
  return quoted;
}

void UrlDecode(std::string& text) {
  // Through a raw pointer: a byte written through the string might be the
  // string's own size to the compiler, which would then read both again at
  // every byte. Nothing before the first '+' or '%' changes: the library's
  // search finds it (or a zero byte, from where the loop goes on) many
  // bytes at a time.
  char* const data = text.data();
  const std::size_t size = text.size();
  std::size_t i = std::strcspn(data, "+%");
  std::size_t out = i;
  for (; i < size; ++i) {
    char c = data[i];
    if (c == '+') {
      c = ' ';
    } else if (c == '%' && i + 2 < size && HexValue(data[i + 1]) >= 0 && HexValue(data[i + 2]) >= 0) {
      c = static_cast<char>(HexValue(data[i + 1]) * 16 + HexValue(data[i + 2]));
      i += 2;
      if (c == '\0') break;
    }
    data[out++] = c;
  }
  text.resize(out);
}

bool IsHexDigit(char c) { return HexValue(c) >= 0; }

std::uint32_t HexToInt(std::string_view text) {
  std::uint32_t value = 0;
  for (char c : text) {
    int digit = HexValue(c);
    if (digit < 0) break;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

std::size_t HexToBytes(std::string_view hex, std::string& out, std::size_t size) {
  out.clear();
  std::size_t limit = size == 0 ? 0 : size - 1;
  for (std::size_t i = 0; i + 1 < hex.size() && out.size() < limit; i += 2) {
    int high = HexValue(hex[i]);
    int low = HexValue(hex[i + 1]);
    if (high < 0 || low < 0) break;
    out.push_back(static_cast<char>(high * 16 + low));
  }
  return out.size();
}

std::string BytesToHex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char c : bytes) {
    unsigned char byte = static_cast<unsigned char>(c);
    out.push_back(kDigits[byte >> 4]);
    out.push_back(kDigits[byte & 0x0F]);
  }
  return out;
}

void TrimBlanks(std::string& text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  std::size_t end = text.size();
  while (end > 0 && blank(text[end - 1])) --end;
  std::size_t begin = 0;
  while (begin < end && blank(text[begin])) ++begin;
  text.resize(end);
  text.erase(0, begin);
}

}  // namespace tf
