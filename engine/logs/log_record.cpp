#include "engine/logs/log_record.h"

#include <limits>

#include "engine/common/text.h"

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
  unread_fields = 0;
}

std::int64_t CLogRecord::ReadBytes(std::string_view text) {
  std::int64_t value = 0;
  DecimalResult read = ReadDecimal(text, value);
  if (read == DecimalResult::kEmpty) return 0;
  if (read == DecimalResult::kFits && value >= 0) return value;
  ++unread_fields;
  return 0;
}

void AssignCut(std::string& field, std::string_view value, size_t limit) {
  field.assign(CutUtf8(value, limit));
}

DecimalResult ReadDecimal(std::string_view text, std::int64_t& value) {
  value = 0;
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i == text.size()) return DecimalResult::kEmpty;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  // Eighteen digits always fit: only a longer number is checked digit by digit.
  constexpr size_t kDigitsThatFit = 18;
  const size_t first = i;
  DecimalResult result = DecimalResult::kNotANumber;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    int digit = text[i] - '0';
    if (i - first >= kDigitsThatFit && value > (kMax - digit) / 10) {
      value = negative ? -kMax : kMax;
      return DecimalResult::kBeyondRange;
    }
    value = value * 10 + digit;
    result = DecimalResult::kFits;
  }
  if (negative) value = -value;
  return result;
}

std::int64_t ParseLogInteger(std::string_view text) {
  std::int64_t value = 0;
  ReadDecimal(text, value);
  return value;
}

std::int32_t ParseLogInt32(std::string_view text) {
  std::int64_t v = ParseLogInteger(text);
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

}  // namespace tf
