#include "engine/logs/log_record.h"

#include <limits>

namespace tf {

void CLogRecord::Clear() {
  valid = true;
  time = 0;
  client_address = 0;
  client_name.clear();
  user_name.clear();
  site_name.clear();
  computer_name.clear();
  server_address = 0;
  method.clear();
  uri_stem.clear();
  uri_query.clear();
  protocol_version.clear();
  host.clear();
  status = 0;
  win32_status = 0;
  bytes_sent = 0;
  bytes_received = 0;
  server_port = 0;
  time_taken = 0;
  protocol.clear();
  user_agent.clear();
  has_referrer = false;
  referrer.clear();
}

std::string_view CutAtCharacter(std::string_view value, size_t limit) {
  if (value.size() <= limit) return value;
  size_t end = limit;
  // Step back over continuation bytes (10xxxxxx) to the start of the
  // character that the cut would split, at most three of them.
  size_t steps = 0;
  while (end > 0 && steps < 3 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) {
    --end;
    ++steps;
  }
  if (steps == 3 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) end = limit;
  return value.substr(0, end);
}

void AssignCut(std::string& field, std::string_view value, size_t limit) {
  std::string_view cut = CutAtCharacter(value, limit);
  field.assign(cut);
}

std::int64_t ParseLogInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    int digit = text[i] - '0';
    if (value > (kMax - digit) / 10) {
      value = kMax;
      break;
    }
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

std::int32_t ParseLogInt32(std::string_view text) {
  std::int64_t v = ParseLogInteger(text);
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

}  // namespace tf
