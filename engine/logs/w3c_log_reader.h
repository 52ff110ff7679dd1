// The reader of one W3C extended log file: its directives (Software,
// Version, Date, Fields) and the column map that turns data lines into
// records. A later Fields directive replaces the map, so a header block
// repeated mid-file (a server restart) switches columns where it stands.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/logs/log_parse.h"

namespace tf {

enum W3cColumn : std::uint8_t {
  kW3cUnknown = 0,
  kW3cDate = 1,
  kW3cTime = 2,
  kW3cClientIp = 3,
  kW3cUserName = 4,
  kW3cSiteName = 5,
  kW3cComputerName = 6,
  kW3cServerIp = 7,
  kW3cServerPort = 8,
  kW3cMethod = 9,
  kW3cUriStem = 10,
  kW3cUriQuery = 11,
  kW3cStatus = 12,
  kW3cWin32Status = 13,
  kW3cBytesSent = 14,
  kW3cBytesReceived = 15,
  kW3cTimeTaken = 16,
  kW3cVersion = 17,
  kW3cHost = 18,
  kW3cUserAgent = 19,
  kW3cCookie = 20,
  kW3cReferrer = 21,
  kW3cProtocol = 22,
};

// Code of a Fields name ("cs(User-Agent)" and the like), without regard to
// case; 0 for names the system does not keep.
W3cColumn W3cColumnFromName(std::string_view name);

class CW3cLogReader {
 public:
  // A '#' line: stores Software, Version and Date, maps Fields.
  bool ParseW3cDirective(LogSite& site, std::string_view line);
  // A Fields value. Unless date (column or Date directive), time, c-ip and
  // cs-uri-stem are all present, every missing part is reported to the
  // site and data lines are skipped until a usable Fields line.
  bool MapW3cFields(LogSite& site, std::string_view value);
  // One data line into the record (cleared first); kSkip when its date or
  // time is missing or does not read, or the time comes out as 0.
  LineResult ParseDataLine(std::string_view line, const LogParseOptions& options,
                           CLogRecord& record) const;

  bool fields_known() const { return fields_known_; }
  const std::string& software() const { return software_; }
  const std::string& version() const { return version_; }
  TimeValue date() const { return date_; }
  void ForgetFields() { fields_known_ = false; }

 private:
  std::string software_;
  std::string version_;
  TimeValue date_ = 0;
  // Every column of the Fields line: a date or client column far to the
  // right is still found. A line holds at most LineReader::kMaxLineLength
  // characters, which bounds the count.
  std::vector<W3cColumn> columns_;
  bool fields_known_ = false;
  bool has_date_column_ = false;
  bool has_time_column_ = false;
};

// Reads the header: directives until the fields are known and a data line
// follows, which becomes the next line to read. 1 then; 0 when the file
// ends first.
int ReadW3cHeader(CW3cLogReader& reader, LogSite& site, LineReader& lines);

// Reads lines, directives included, until a data line gives a record,
// whose valid flag the site's log filters set. False at the end of the file.
bool ParseW3cLine(CW3cLogReader& reader, LogSite& site, LineReader& lines,
                  const LogParseOptions& options, CLogRecord& record);

}  // namespace tf
