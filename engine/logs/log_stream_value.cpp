#include "engine/logs/log_stream_value.h"

#include <charconv>

#include "engine/logs/log_stream.h"

namespace tf {
namespace {

constexpr std::string_view kProgressStart = "{F:";

template <typename T>
bool ReadNumber(std::string_view text, size_t& pos, T& value) {
  const char* begin = text.data() + pos;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr == begin) return false;
  pos = static_cast<size_t>(ptr - text.data());
  return true;
}

bool ReadPosition(std::string_view text, LogPosition& position) {
  size_t pos = 0;
  LogPosition p;
  if (!ReadNumber(text, pos, p.file.device) || pos >= text.size() || text[pos++] != ':') {
    return false;
  }
  if (!ReadNumber(text, pos, p.file.inode) || pos >= text.size() || text[pos++] != ':') {
    return false;
  }
  if (!ReadNumber(text, pos, p.offset) || p.offset < 0) return false;
  position = p;
  return true;
}

}  // namespace

std::string FormatLogStreamValue(const CLogStream& stream) {
  std::string value = stream.file_pattern();
  value += " ";
  value += kProgressStart;
  value += FormatTimeOrDefault(stream.last_file_date());
  value += "; R:" + FormatTimeOrDefault(stream.last_record_date()) + ";";
  const LogPosition& p = stream.last_position();
  if (p.known()) {
    value += " P:" + std::to_string(p.file.device) + ":" + std::to_string(p.file.inode) + ":" +
             std::to_string(p.offset) + ";";
  }
  value += "}";
  return value;
}

std::unique_ptr<CLogStream> ParseLogStreamValue(std::string_view value) {
  // The progress is the last part of the value, so a pattern may hold any
  // character, '{' and "F:" included; the one blank before it is the
  // separator, and blanks the pattern itself ends with stay.
  size_t brace = value.rfind(kProgressStart);
  if (brace == std::string_view::npos) {
    // A value without progress: the pattern is the text before any '{'.
    std::string_view pattern = value.substr(0, value.find('{'));
    while (!pattern.empty() && pattern.back() == ' ') pattern.remove_suffix(1);
    return std::make_unique<CLogStream>(pattern);
  }
  std::string_view pattern = value.substr(0, brace);
  if (!pattern.empty() && pattern.back() == ' ') pattern.remove_suffix(1);
  auto stream = std::make_unique<CLogStream>(pattern);

  std::string_view tail = value.substr(brace);
  TimeValue last_file = ParseTimeText(tail.substr(kProgressStart.size()));
  size_t r = tail.find("R:");
  TimeValue last_record = r == std::string_view::npos ? 0 : ParseTimeText(tail.substr(r + 2));
  LogPosition position;
  size_t p = tail.find("P:");
  if (p != std::string_view::npos && !ReadPosition(tail.substr(p + 2), position)) position = {};
  stream->SetProgress(last_file, last_record, position);
  return stream;
}

}  // namespace tf
