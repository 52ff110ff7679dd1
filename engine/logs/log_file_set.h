// The log streams of one analysis run, merged into one sequence of
// records in time order. Each stream holds at most one record read ahead.
#pragma once

#include <cstdint>

#include "engine/logs/log_record.h"

namespace tf {

class LogSite;

class CLogFileSet {
 public:
  // zone_offset: the site's Timezone when AutoTimezone is 0, else the
  // machine's (LocalZoneOffsetSeconds); taken off every record time.
  CLogFileSet(LogSite& site, double zone_offset);
  ~CLogFileSet();
  CLogFileSet(const CLogFileSet&) = delete;
  CLogFileSet& operator=(const CLogFileSet&) = delete;

  // Lists the files of every stream.
  void FindFiles();
  // The next record in time order, or null when every stream is
  // exhausted. On equal times the stream listed first wins. The record
  // stays valid, and may be edited, until the next call: its storage is
  // reused, so reading allocates nothing per record.
  CLogRecord* NextRecord();
  // The same, written into the caller's record; false when every stream
  // is exhausted. With one stream left to read the line is parsed there
  // directly, without passing through a record read ahead.
  bool ReadNext(CLogRecord& into);
  void CloseAll();

  // Sums over the streams, for progress.
  std::int64_t TotalBytes() const;
  std::int64_t BytesRead() const;

 private:
  LogSite& site_;
  double zone_offset_;
};

}  // namespace tf
