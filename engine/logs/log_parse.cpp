#include "engine/logs/log_parse.h"

#include "engine/common/address.h"
#include "engine/logs/client_address.h"
#include "engine/logs/line_reader.h"
#include "engine/logs/log_site.h"

namespace tf {
namespace {

using Parser = LineResult (*)(std::string_view, const LogParseOptions&, CLogRecord&);

bool ReadRecord(Parser parse, LogSite& site, LineReader& reader, const LogParseOptions& options,
                CLogRecord& record) {
  std::string_view line;
  while (reader.ReadLogLine(line)) {
    if (IsBlankLine(line)) continue;
    if (FinishDataLine(parse(line, options, record), line, site, reader, record)) return true;
  }
  return false;
}

}  // namespace

void CountUnreadLine(LogSite& site, const LineReader& reader) {
  site.CountUnreadLine(reader.name(), reader.Place());
}

bool FinishDataLine(LineResult result, std::string_view line, LogSite& site,
                    const LineReader& reader, CLogRecord& record) {
  if (result != LineResult::kRecord) {
    CountUnreadLine(site, reader);
    return false;
  }
  record.valid = site.PassesLogFilters(line);
  if (record.unread_fields != 0) site.CountUnreadFields(record.unread_fields);
  return true;
}

LineResult ParseIisBasicText(std::string_view line, const LogParseOptions& options,
                             CLogRecord& record) {
  record.Clear();
  std::string_view token;
  size_t pos = NextToken(line, 0, token);
  record.client_address = ClientAddressFromText(token, record.client_name);
  pos = NextToken(line, pos, token);
  AssignCut(record.user_name, token, LogFieldLimits::kUserName);

  TimeValue date = 0;
  double clock = 0;
  pos = NextToken(line, pos, token);
  if (!ParseIisDate(token, options.date_order, date)) return LineResult::kSkip;
  pos = NextToken(line, pos, token);
  if (!ParseW3cClock(token, clock)) return LineResult::kSkip;
  record.time = date + clock - options.zone_offset;

  pos = NextToken(line, pos, token);  // service name, not kept
  pos = NextToken(line, pos, token);
  AssignCut(record.computer_name, token, LogFieldLimits::kComputerName);
  pos = NextToken(line, pos, token);
  record.server_address = ParseDottedAddress(token);
  pos = NextToken(line, pos, token);
  record.time_taken = ParseLogInt32(token);
  pos = NextToken(line, pos, token);
  record.bytes_received = record.ReadBytes(token);
  pos = NextToken(line, pos, token);
  record.bytes_sent = record.ReadBytes(token);
  pos = NextToken(line, pos, token);
  record.status = ParseLogInt32(token);
  pos = NextToken(line, pos, token);
  record.win32_status = ParseLogInt32(token);
  pos = NextToken(line, pos, token);
  AssignCut(record.method, token, LogFieldLimits::kMethod);

  // The target runs to the next ',' and may hold blanks; its parameters
  // follow and are not kept.
  while (pos < line.size() && line[pos] == ' ') ++pos;
  std::string_view rest = line.substr(pos);
  AssignCut(record.uri_stem, rest.substr(0, rest.find(',')), LogFieldLimits::kUriStem);
  return LineResult::kRecord;
}

LineResult ParseNcsaText(std::string_view line, const LogParseOptions& options,
                         CLogRecord& record) {
  record.Clear();
  std::string_view token;
  size_t pos = NextToken(line, 0, token);
  record.client_address = ClientAddressFromText(token, record.client_name);
  // Behind a proxy the client may be a list ("203.0.113.5, 10.0.0.1"):
  // the first address is the client, the proxies that follow are not kept.
  std::string_view proxy;
  while (pos > 0 && pos < line.size() && line[pos - 1] == ',') pos = NextToken(line, pos, proxy);
  pos = NextToken(line, pos, token);  // ident, not kept
  pos = NextToken(line, pos, token);
  AssignCut(record.user_name, token, LogFieldLimits::kUserName);

  while (pos < line.size() && (line[pos] == ' ' || line[pos] == '[')) ++pos;
  size_t close = line.find(']', pos);
  // Without its ']' the line was cut inside the time, which may then read
  // as another valid time ("13:05:0").
  if (close == std::string_view::npos) return LineResult::kSkip;
  std::string_view stamp = line.substr(pos, close - pos);
  pos = close + 1;
  TimeValue written = 0;
  int zone = 0;
  bool has_zone = false;
  if (!ParseNcsaDate(stamp, false, written, &zone, &has_zone)) return LineResult::kSkip;
  if (options.ncsa_zone_from_line && has_zone) written -= zone;  // now UTC
  record.time = written - options.zone_offset;

  pos = NextToken(line, pos, token);
  size_t word = 0;
  AssignCut(record.method, NextWord(token, word), LogFieldLimits::kMethod);
  std::string_view uri = NextWord(token, word);
  // The query is its own field, so that each query string does not become
  // a page of its own.
  size_t question = uri.find('?');
  if (question != std::string_view::npos) {
    AssignCut(record.uri_query, uri.substr(question + 1), LogFieldLimits::kUriQuery);
    uri = uri.substr(0, question);
  }
  AssignCut(record.uri_stem, uri, LogFieldLimits::kUriStem);
  AssignCut(record.protocol, NextWord(token, word), LogFieldLimits::kProtocol);

  pos = NextToken(line, pos, token);
  record.status = ParseLogInt32(token);
  pos = NextToken(line, pos, token);
  record.bytes_sent = record.ReadBytes(token);
  pos = NextToken(line, pos, token);
  record.has_referrer = true;
  record.referrer.assign(token);
  NextToken(line, pos, token);
  AssignCut(record.user_agent, token, LogFieldLimits::kUserAgent);
  return LineResult::kRecord;
}

bool ParseIisBasicLine(LogSite& site, LineReader& reader, const LogParseOptions& options,
                       CLogRecord& record) {
  return ReadRecord(ParseIisBasicText, site, reader, options, record);
}

bool ParseNcsaLine(LogSite& site, LineReader& reader, const LogParseOptions& options,
                   CLogRecord& record) {
  return ReadRecord(ParseNcsaText, site, reader, options, record);
}

}  // namespace tf
