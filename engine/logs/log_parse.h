// The line parsers of basic IIS and NCSA logs, and what every parser of a
// log format shares.
#pragma once

#include <string_view>

#include "engine/logs/log_record.h"

namespace tf {

class LineReader;
class LogSite;

// What a parser needs besides the line.
struct LogParseOptions {
  // Seconds subtracted from every record time: UTC minus local time for
  // logs written in UTC, so records come out in the site's local time.
  double zone_offset = 0;
  // Date order of basic IIS lines: 0 m/d/y, 1 d/m/y, 2 y/m/d.
  int date_order = 0;
  // Set when the run follows the machine's zone: an NCSA time that carries
  // its zone is then turned into UTC with that zone before zone_offset is
  // taken off. Otherwise NCSA times are taken as written.
  bool ncsa_zone_from_line = false;
};

enum class LineResult { kRecord, kSkip };

// One line into the record (cleared first). kSkip for a line without a
// usable date and time. The record's valid flag is left to the caller.
LineResult ParseIisBasicText(std::string_view line, const LogParseOptions& options,
                             CLogRecord& record);
LineResult ParseNcsaText(std::string_view line, const LogParseOptions& options,
                         CLogRecord& record);

// What every reader does with a data line it has parsed: a line that gave
// no record counts as unread; a record gets the site's filter verdict on
// the raw line, and its fields read as 0 are counted. True for a record.
bool FinishDataLine(LineResult result, std::string_view line, LogSite& site,
                    const LineReader& reader, CLogRecord& record);
// The last line of the reader gave no record.
void CountUnreadLine(LogSite& site, const LineReader& reader);

// Reads lines until one gives a record, whose valid flag the site's log
// filters then set on the raw line. False at the end of the file.
bool ParseIisBasicLine(LogSite& site, LineReader& reader, const LogParseOptions& options,
                       CLogRecord& record);
bool ParseNcsaLine(LogSite& site, LineReader& reader, const LogParseOptions& options,
                   CLogRecord& record);

}  // namespace tf
