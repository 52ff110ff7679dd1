// One parsed log line: the same record for W3C extended, basic IIS and NCSA
// lines. A record is reused from line to line, so its texts keep their
// storage and reading a record allocates nothing once the texts have grown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/common/time_value.h"

namespace tf {

// Longest text each field keeps, in bytes; longer values are cut there,
// never inside a UTF-8 character.
struct LogFieldLimits {
  static constexpr size_t kUserName = 59;
  static constexpr size_t kSiteName = 199;
  static constexpr size_t kComputerName = 29;
  static constexpr size_t kMethod = 19;
  static constexpr size_t kUriStem = 199;
  static constexpr size_t kUriQuery = 499;
  static constexpr size_t kProtocolVersion = 19;
  static constexpr size_t kHost = 99;
  static constexpr size_t kProtocol = 9;
  static constexpr size_t kUserAgent = 399;
  static constexpr size_t kClientName = 99;
};

struct CLogRecord {
  bool valid = true;   // the line passed the site's log filters
  TimeValue time = 0;  // local time, the run's zone offset taken off
  // IPv4 address, first number of the dotted text in the lowest byte. A
  // client written as anything else (IPv6, a host name) gets a stable key
  // inside 240.0.0.0/4 (see client_address.h) and its text in client_name.
  std::uint32_t client_address = 0;
  std::string client_name;
  std::string user_name;
  std::string site_name;
  std::string computer_name;
  std::uint32_t server_address = 0;
  std::string method;
  std::string uri_stem;
  std::string uri_query;
  std::string protocol_version;
  std::string host;
  std::int32_t status = 0;
  std::int32_t win32_status = 0;
  std::int64_t bytes_sent = 0;
  std::int64_t bytes_received = 0;
  std::int32_t server_port = 0;
  std::int32_t time_taken = 0;
  std::string protocol;
  std::string user_agent;
  bool has_referrer = false;  // an empty referrer differs from none
  std::string referrer;
  // Fields of the line that held no usable value and were read as 0.
  std::int32_t unread_fields = 0;

  // Back to a new record: every field empty or 0, valid set. Texts keep
  // their storage.
  void Clear();
  // A byte count field: 0 when it is empty; a negative value, one beyond
  // 64 bits or one that is no number reads as 0 and counts as unread, so
  // that no byte sum goes negative or hides a damaged line.
  std::int64_t ReadBytes(std::string_view text);
};

// Replaces the text with at most `limit` bytes of value, cut back to the
// start of a UTF-8 character when the cut would split one.
void AssignCut(std::string& field, std::string_view value, size_t limit);

// The ordinary decimal reading of a numeric field: optional blanks and
// sign, then digits; anything else (an empty field included) reads as 0.
// Values beyond the range are held at its bounds.
std::int64_t ParseLogInteger(std::string_view text);
enum class DecimalResult { kFits, kEmpty, kNotANumber, kBeyondRange };
// The same reading, telling what it found; the value as ParseLogInteger.
DecimalResult ReadDecimal(std::string_view text, std::int64_t& value);
std::int32_t ParseLogInt32(std::string_view text);

}  // namespace tf
