// One log file pattern of a site (a folder and a file-name wildcard)
// and the reading of its files: discovery of the files that still hold
// unread records, oldest first; opening with format detection; records in
// file order with already-analysed ones passed over; and the site's
// after-analysis action on every file read to its end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/time_value.h"
#include "engine/logs/file_access.h"
#include "engine/logs/line_reader.h"
#include "engine/logs/log_parse.h"
#include "engine/logs/log_record.h"

namespace tf {

class CW3cLogReader;
class LogSite;

enum LogFormat { kLogFormatNone = 0, kLogFormatNcsa = 1, kLogFormatIisBasic = 2, kLogFormatW3c = 3 };

// Where the last record a stream delivered ends: the file (by identity, so
// a rename does not lose it) and the offset just past the record's line.
// The next run goes on from there, whatever the stream's pattern, without
// reading the file again; and every record past it is new, where the
// record time alone cannot tell records of one second apart nor a slow
// request logged after faster later ones.
struct LogPosition {
  FileIdentity file;
  std::int64_t offset = 0;
  bool known() const { return file.known(); }
  bool operator==(const LogPosition&) const = default;
};

struct LogFileEntry {
  std::string path;
  TimeValue write_time = 0;
  std::int64_t size = 0;
  FileIdentity identity;
};

class CLogStream {
 public:
  static constexpr size_t kMaxFilePatternLength = 299;
  static constexpr size_t kMaxListedFiles = 2500;

  explicit CLogStream(std::string_view file_pattern);
  ~CLogStream();
  CLogStream(const CLogStream&) = delete;
  CLogStream& operator=(const CLogStream&) = delete;

  const std::string& file_pattern() const { return file_pattern_; }
  // The console's log file page edits the pattern; the progress stays.
  void set_file_pattern(std::string_view file_pattern);
  // F: last-write time of the last file read to its end.
  TimeValue last_file_date() const { return last_file_date_; }
  // R: time of the last record the stream returned.
  TimeValue last_record_date() const { return last_record_date_; }
  // P: see LogPosition.
  const LogPosition& last_position() const { return last_position_; }
  void SetProgress(TimeValue last_file_date, TimeValue last_record_date,
                   const LogPosition& position);
  // What a reset of the site's statistics does: F, R and P back to 0.
  void ResetProgress() { SetProgress(0, 0, LogPosition{}); }

  void set_options(const LogParseOptions& options) { options_ = options; }
  // A stream that is not read this run lists no files and keeps its
  // progress as it is (a pattern the site remembers but was not asked for).
  bool active() const { return active_; }
  void set_active(bool active) { active_ = active; }

  // Lists the files of the file pattern that may hold unread records.
  void FindLogFiles(LogSite& site);
  // Drops the listed files whose identity is in `seen` (another stream of
  // the run reads them), then adds the identities of the files kept.
  void DropFilesListedElsewhere(std::vector<FileIdentity>& seen);
  // Opens a file and returns its detected format; 0 when it cannot be
  // opened. A W3C file that ends inside its header is closed again.
  int OpenLogFile(LogSite& site, const std::string& path);
  // Closes the open file; with a site, traces its name and record range.
  void CloseLogFile(LogSite* site);
  // The next record of the stream's files, or false when all are read.
  bool NextRecord(LogSite& site, CLogRecord& record);
  // Deletes, renames or moves the current file, as the site says, unless
  // the web server may still be writing it.
  void ApplyOldLogAction(LogSite& site);

  const std::vector<LogFileEntry>& files() const { return files_; }
  const std::string& current_path() const { return current_path_; }
  int format() const { return format_; }
  std::int64_t total_bytes() const { return total_bytes_; }
  std::int64_t bytes_read() const;

  // The merge's one record read ahead (see CLogFileSet).
  bool has_pending() const { return has_pending_; }
  // Nothing read ahead, no file open and none left to open.
  bool exhausted() const { return !has_pending_ && !file_.is_open() && next_index_ >= files_.size(); }
  const CLogRecord& pending() const { return pending_; }
  bool ReadAhead(LogSite& site);
  // The pending record, now delivered; it is read over at the next ReadAhead.
  CLogRecord* TakePending();
  // The next record delivered straight into the caller's: the pending one
  // if there is one, else the next line parsed there.
  bool TakeNext(LogSite& site, CLogRecord& into);

 private:
  bool ReadFromOpenFile(LogSite& site, CLogRecord& record);
  bool IsOldRecord(const CLogRecord& record) const;
  // R and P move to the record handed out, read last.
  void Delivered(const CLogRecord& record);
  int DetectFormat(LogSite& site);
  void LocateResumeFile();
  // Moves the open file past what any stream of the site has read of it.
  void SkipWhatWasRead(LogSite& site);

  std::string file_pattern_;
  TimeValue last_file_date_ = 0;
  TimeValue last_record_date_ = 0;
  LogPosition last_position_;
  LogParseOptions options_;
  bool active_ = true;

  std::vector<LogFileEntry> files_;
  size_t next_index_ = 0;
  std::int64_t total_bytes_ = 0;
  std::int64_t done_bytes_ = 0;  // bytes of files already read to their end

  // Where this run resumes: the listed file that holds P (or none), and R
  // as the run found it.
  std::ptrdiff_t resume_index_ = -1;
  TimeValue resume_record_date_ = 0;

  // The open file.
  ReadOnlyFile file_;
  LineReader reader_;
  std::string current_path_;
  std::ptrdiff_t current_index_ = -1;
  TimeValue current_write_time_ = 0;
  FileIdentity current_identity_;
  bool resuming_in_file_ = false;  // the open file was moved past a stored position
  TimeValue earliest_ = 0;
  TimeValue latest_ = 0;
  int format_ = kLogFormatNone;
  std::unique_ptr<CW3cLogReader> w3c_;

  CLogRecord pending_;
  LogPosition pending_position_;
  bool has_pending_ = false;
};

// The new name of a renamed log file: the mask and the old name walked
// part by part ('*' copies the old name's part). Empty when the mask is.
std::string BuildOldLogName(std::string_view old_name, std::string_view mask);

}  // namespace tf
