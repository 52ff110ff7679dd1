// What log reading needs of its site: the log filters, the settings that
// steer parsing and the after-analysis action, the event log, and the
// counters it keeps. The site object implements it; tests supply their own.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "engine/common/status_sink.h"
#include "engine/common/time_value.h"

namespace tf {

class CLogStream;
using LogStreamList = std::vector<std::unique_ptr<CLogStream>>;

class LogSite : public StatusSink {
 public:
  // The include and exclude filters on the whole raw line; the site counts
  // the lines each filter rejects.
  virtual bool PassesLogFilters(std::string_view line) = 0;
  // Order of the date fields of basic IIS lines: 0 m/d/y, 1 d/m/y, 2 y/m/d.
  virtual int DateFormat() const = 0;
  // 1: the run uses the machine's zone; 0: the site's fixed Timezone.
  virtual int AutoTimezone() const = 0;

  // After-analysis action: 0 none, 1 delete, 2 rename by OldNameMask,
  // 3 move into LogFileArchiveDirectory.
  virtual int OldLogAction() const = 0;
  virtual std::string_view OldNameMask() const = 0;
  virtual std::string_view LogFileArchiveDirectory() const = 0;

  // One line of the site's event log (written only while it is open).
  virtual void Trace(std::string_view text) = 0;
  // Empties the site's error text.
  virtual void ClearError() = 0;

  // stOldRecords + 1: a record already analysed by an earlier run.
  virtual void CountOldRecord() = 0;
  // A line of the file (path) that gave no record although it was not blank.
  virtual void CountUnreadLine(std::string_view file, std::string_view place) = 0;
  // Fields of a record that held no usable value and were read as 0.
  virtual void CountUnreadFields(int count) = 0;
  // LastFileDate becomes the date when that is later.
  virtual void RaiseLastFileDate(TimeValue date) = 0;

  // The site's log file patterns, in list order.
  virtual LogStreamList& LogStreams() = 0;
};

}  // namespace tf
