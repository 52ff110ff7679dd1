#include "engine/logs/w3c_log_reader.h"

#include "engine/common/address.h"
#include "engine/common/ascii.h"
#include "engine/logs/client_address.h"
#include "engine/logs/line_reader.h"
#include "engine/logs/log_site.h"

namespace tf {
namespace {

struct ColumnName {
  std::string_view name;  // lower case
  W3cColumn code;
};

constexpr ColumnName kColumnNames[] = {
    {"date", kW3cDate},
    {"time", kW3cTime},
    {"c-ip", kW3cClientIp},
    {"cs-username", kW3cUserName},
    {"s-sitename", kW3cSiteName},
    {"s-computername", kW3cComputerName},
    {"s-ip", kW3cServerIp},
    {"s-port", kW3cServerPort},
    {"cs-method", kW3cMethod},
    {"cs-uri-stem", kW3cUriStem},
    {"cs-uri-query", kW3cUriQuery},
    {"sc-status", kW3cStatus},
    {"sc-win32-status", kW3cWin32Status},
    {"sc-bytes", kW3cBytesSent},
    {"cs-bytes", kW3cBytesReceived},
    {"time-taken", kW3cTimeTaken},
    {"cs-version", kW3cVersion},
    {"cs-host", kW3cHost},
    {"cs(user-agent)", kW3cUserAgent},
    {"cs(cookie)", kW3cCookie},
    {"cs(referer)", kW3cReferrer},
    {"cs_protocol", kW3cProtocol},
};

}  // namespace

W3cColumn W3cColumnFromName(std::string_view name) {
  name = name.substr(0, 49);
  for (const ColumnName& c : kColumnNames) {
    if (EqualsCaseless(name, c.name)) return c.code;
  }
  return kW3cUnknown;
}

bool CW3cLogReader::ParseW3cDirective(LogSite& site, std::string_view line) {
  size_t pos = 1;  // after '#'
  size_t end = line.find(' ', pos);
  if (end == std::string_view::npos) end = line.size();
  std::string_view name = line.substr(pos, end - pos).substr(0, 79);
  while (!name.empty() && name.back() == ':') name.remove_suffix(1);
  pos = end;
  while (pos < line.size() && line[pos] == ' ') ++pos;
  std::string_view value = line.substr(pos);

  if (EqualsCaseless(name, "software")) {
    AssignCut(software_, value, 79);
  } else if (EqualsCaseless(name, "version")) {
    AssignCut(version_, value, 19);
  } else if (EqualsCaseless(name, "date")) {
    TimeValue midnight = 0;
    if (ParseW3cDate(value, midnight)) date_ = midnight;
  } else if (EqualsCaseless(name, "fields")) {
    return MapW3cFields(site, value);
  }
  return true;
}

bool CW3cLogReader::MapW3cFields(LogSite& site, std::string_view value) {
  columns_.clear();
  has_date_column_ = false;
  has_time_column_ = false;
  bool has_ip = false, has_uri = false;
  size_t pos = 0;
  for (;;) {
    std::string_view name = NextWord(value, pos);
    if (name.empty()) break;
    W3cColumn code = W3cColumnFromName(name);
    columns_.push_back(code);
    has_date_column_ |= code == kW3cDate;
    has_time_column_ |= code == kW3cTime;
    has_ip |= code == kW3cClientIp;
    has_uri |= code == kW3cUriStem;
  }
  bool has_date = has_date_column_ || date_ != 0;
  fields_known_ = has_date && has_time_column_ && has_ip && has_uri;
  if (fields_known_) {
    site.ClearError();
    return true;
  }
  if (!has_date) site.SetError("Log file is missing the Date field");
  if (!has_time_column_) site.SetError("Log file is missing the Time field");
  if (!has_ip) site.SetError("Log file is missing the IP field");
  if (!has_uri) site.SetError("Log file is missing the URL field");
  return false;
}

LineResult CW3cLogReader::ParseDataLine(std::string_view line, const LogParseOptions& options,
                                        CLogRecord& record) const {
  record.Clear();
  TimeValue time = has_date_column_ ? 0 : date_;
  bool date_seen = !has_date_column_;
  bool time_seen = false;
  size_t pos = 0;
  for (W3cColumn column : columns_) {
    std::string_view value = NextWord(line, pos);
    if (value.empty()) break;  // fewer values than columns
    if (value == "-") continue;
    switch (column) {
      case kW3cDate: {
        TimeValue midnight = 0;
        if (!ParseW3cDate(value, midnight)) return LineResult::kSkip;
        time += midnight;
        date_seen = true;
        break;
      }
      case kW3cTime: {
        double clock = 0;
        if (!ParseW3cClock(value, clock)) return LineResult::kSkip;
        time += clock;
        time_seen = true;
        break;
      }
      case kW3cClientIp:
        record.client_address = ClientAddressFromText(value, record.client_name);
        break;
      case kW3cUserName: AssignCut(record.user_name, value, LogFieldLimits::kUserName); break;
      case kW3cSiteName: AssignCut(record.site_name, value, LogFieldLimits::kSiteName); break;
      case kW3cComputerName:
        AssignCut(record.computer_name, value, LogFieldLimits::kComputerName);
        break;
      case kW3cServerIp: record.server_address = ParseDottedAddress(value); break;
      case kW3cServerPort: record.server_port = ParseLogInt32(value); break;
      case kW3cMethod: AssignCut(record.method, value, LogFieldLimits::kMethod); break;
      case kW3cUriStem: AssignCut(record.uri_stem, value, LogFieldLimits::kUriStem); break;
      case kW3cUriQuery: AssignCut(record.uri_query, value, LogFieldLimits::kUriQuery); break;
      case kW3cStatus: record.status = ParseLogInt32(value); break;
      case kW3cWin32Status: record.win32_status = ParseLogInt32(value); break;
      case kW3cBytesSent: record.bytes_sent = record.ReadBytes(value); break;
      case kW3cBytesReceived: record.bytes_received = record.ReadBytes(value); break;
      case kW3cTimeTaken: record.time_taken = ParseLogInt32(value); break;
      case kW3cVersion:
        AssignCut(record.protocol_version, value, LogFieldLimits::kProtocolVersion);
        break;
      case kW3cHost: AssignCut(record.host, value, LogFieldLimits::kHost); break;
      case kW3cUserAgent: AssignCut(record.user_agent, value, LogFieldLimits::kUserAgent); break;
      case kW3cReferrer:
        record.has_referrer = true;
        record.referrer.assign(value);
        break;
      case kW3cProtocol: AssignCut(record.protocol, value, LogFieldLimits::kProtocol); break;
      case kW3cCookie:
      case kW3cUnknown: break;
    }
  }
  // A line without its date or time would otherwise be dated at midnight
  // or in year 0.
  if (!date_seen || !time_seen || time == 0) return LineResult::kSkip;
  record.time = time - options.zone_offset;
  return LineResult::kRecord;
}

int ReadW3cHeader(CW3cLogReader& reader, LogSite& site, LineReader& lines) {
  reader.ForgetFields();
  std::string_view line;
  while (lines.ReadLogLine(line)) {
    if (!line.empty() && line[0] == '#') {
      reader.ParseW3cDirective(site, line);
    } else if (reader.fields_known()) {
      lines.StepBack();
      return 1;
    } else if (!IsBlankLine(line)) {
      CountUnreadLine(site, lines);
    }
  }
  return 0;
}

bool ParseW3cLine(CW3cLogReader& reader, LogSite& site, LineReader& lines,
                  const LogParseOptions& options, CLogRecord& record) {
  std::string_view line;
  while (lines.ReadLogLine(line)) {
    if (!line.empty() && line[0] == '#') {
      reader.ParseW3cDirective(site, line);
      continue;
    }
    if (IsBlankLine(line)) continue;
    if (!reader.fields_known()) {
      CountUnreadLine(site, lines);
      continue;
    }
    if (FinishDataLine(reader.ParseDataLine(line, options, record), line, site, lines, record)) {
      return true;
    }
  }
  return false;
}

}  // namespace tf
