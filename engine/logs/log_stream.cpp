#include "engine/logs/log_stream.h"

#include <algorithm>

#include "engine/logs/log_site.h"
#include "engine/logs/w3c_log_reader.h"

namespace tf {
namespace {

constexpr int kDetectionLines = 20;
constexpr size_t kBasicIisCommaColumn = 25;

const char* FormatName(int format) { return format == kLogFormatNcsa ? "NCSA" : "basic IIS"; }

// The first lines of a file without directives: whether the comma rule
// says basic IIS, and how many of them each of the two parsers reads.
struct FormatSample {
  bool comma = false;  // a ',' among the first characters of a line
  int ncsa_lines = 0;
  int basic_lines = 0;

  void Add(std::string_view line, const LogParseOptions& options, CLogRecord& scratch) {
    if (line.substr(0, kBasicIisCommaColumn).find(',') != std::string_view::npos) comma = true;
    if (IsBlankLine(line)) return;
    ncsa_lines += ParseNcsaText(line, options, scratch) == LineResult::kRecord;
    basic_lines += ParseIisBasicText(line, options, scratch) == LineResult::kRecord;
  }
  int Lines(int format) const { return format == kLogFormatNcsa ? ncsa_lines : basic_lines; }
};

}  // namespace

CLogStream::CLogStream(std::string_view file_pattern) {
  AssignCut(file_pattern_, file_pattern, kMaxFilePatternLength);
}

void CLogStream::set_file_pattern(std::string_view file_pattern) {
  AssignCut(file_pattern_, file_pattern, kMaxFilePatternLength);
}

CLogStream::~CLogStream() { CloseLogFile(nullptr); }

void CLogStream::SetProgress(TimeValue last_file_date, TimeValue last_record_date,
                             const LogPosition& position) {
  last_file_date_ = last_file_date;
  last_record_date_ = last_record_date;
  last_position_ = position;
}

std::int64_t CLogStream::bytes_read() const {
  return done_bytes_ + (file_.is_open() ? reader_.Offset() : 0);
}

int CLogStream::DetectFormat(LogSite& site) {
  std::string_view line;
  FormatSample sample;
  CLogRecord scratch;
  for (int i = 0; i < kDetectionLines && reader_.ReadLogLine(line); ++i) {
    if (!line.empty() && line[0] == '#') return kLogFormatW3c;
    sample.Add(line, options_, scratch);
  }
  // The comma rule misjudges a proxied client list ("a, b - - [...") and
  // IPv6 clients in basic IIS lines; the lines themselves settle it.
  int picked = sample.comma ? kLogFormatIisBasic : kLogFormatNcsa;
  int other = picked == kLogFormatNcsa ? kLogFormatIisBasic : kLogFormatNcsa;
  if (sample.Lines(other) <= sample.Lines(picked)) return picked;
  // Short enough for one event log line.
  site.Trace(std::string("The first lines read as ") + FormatName(other) + ", not as " +
             FormatName(picked) + ": reading the file as " + FormatName(other));
  return other;
}

int CLogStream::OpenLogFile(LogSite& site, const std::string& path) {
  CloseLogFile(nullptr);
  site.Trace("Opening log file: " + path);
  int error = file_.Open(path);
  if (error != 0) {
    site.Trace("Cannot open log file: " + path);
    site.Trace(FileErrorCause(error));
    return kLogFormatNone;
  }
  current_path_ = path;
  current_identity_ = file_.Identity();
  earliest_ = latest_ = 0;
  resuming_in_file_ = false;
  reader_.Start(&file_, path);
  format_ = DetectFormat(site);
  reader_.Rewind();

  switch (format_) {
    case kLogFormatNcsa: site.Trace("Processing a NCSA format log file"); break;
    case kLogFormatIisBasic: site.Trace("Processing a basic (old format) IIS log file"); break;
    default:
      site.Trace("Processing an IIS format log file");
      w3c_ = std::make_unique<CW3cLogReader>();
      if (ReadW3cHeader(*w3c_, site, reader_) == 0) {
        CloseLogFile(&site);
      } else {
        SkipWhatWasRead(site);
      }
      return kLogFormatW3c;
  }
  SkipWhatWasRead(site);
  return format_;
}

void CLogStream::SkipWhatWasRead(LogSite& site) {
  // Every stream of the site counts, so that a file reached by another
  // pattern is not read twice.
  std::int64_t offset = 0;
  for (const auto& stream : site.LogStreams()) {
    const LogPosition& p = stream->last_position();
    if (p.known() && p.file == current_identity_) offset = std::max(offset, p.offset);
  }
  if (offset <= reader_.Offset() || offset > file_.Size()) return;
  // A stored position inside a line belongs to another file that took over
  // a deleted one's identity (a reused inode): nothing of it is skipped.
  resuming_in_file_ = reader_.ResumeAt(offset);
  if (resuming_in_file_) site.Trace("Resuming at byte " + std::to_string(offset));
}

void CLogStream::CloseLogFile(LogSite* site) {
  if (file_.is_open() && site != nullptr) {
    site->Trace("Closing log file: " + current_path_);
    site->Trace("  File date range:  " + FormatTime("%D", earliest_) + "  to  " +
                FormatTime("%D", latest_));
  }
  if (file_.is_open()) done_bytes_ += reader_.Offset();
  file_.Close();
  reader_.Start(nullptr);
  w3c_.reset();
  format_ = kLogFormatNone;
}

bool CLogStream::IsOldRecord(const CLogRecord& record) const {
  // Past a stored position every record is new, whatever its time: servers
  // write a slow request after faster later ones.
  if (resuming_in_file_) return false;
  // Files listed before the one of the position were read up to R.
  if (current_index_ < resume_index_) return record.time <= resume_record_date_;
  // Elsewhere only R as the run found it tells: a record more than a second
  // before it was analysed by an earlier run.
  return record.time < resume_record_date_ - 1;
}

bool CLogStream::ReadFromOpenFile(LogSite& site, CLogRecord& record) {
  for (;;) {
    bool got = false;
    switch (format_) {
      case kLogFormatNcsa: got = ParseNcsaLine(site, reader_, options_, record); break;
      case kLogFormatIisBasic: got = ParseIisBasicLine(site, reader_, options_, record); break;
      case kLogFormatW3c: got = ParseW3cLine(*w3c_, site, reader_, options_, record); break;
      default: return false;
    }
    if (!got) return false;
    if (earliest_ == 0 || record.time < earliest_) earliest_ = record.time;
    if (record.time > latest_) latest_ = record.time;
    if (IsOldRecord(record)) {
      site.CountOldRecord();
      continue;
    }
    last_record_date_ = record.time;
    pending_position_ = {current_identity_, reader_.Offset()};
    return true;
  }
}

bool CLogStream::NextRecord(LogSite& site, CLogRecord& record) {
  for (;;) {
    if (file_.is_open()) {
      if (ReadFromOpenFile(site, record)) return true;
      last_file_date_ = current_write_time_;
      site.RaiseLastFileDate(current_write_time_);
      CloseLogFile(&site);
      ApplyOldLogAction(site);
      current_path_.clear();
    }
    if (next_index_ >= files_.size()) {
      current_path_.clear();
      return false;
    }
    current_index_ = static_cast<std::ptrdiff_t>(next_index_);
    const LogFileEntry& entry = files_[next_index_++];
    current_write_time_ = entry.write_time;
    OpenLogFile(site, entry.path);
  }
}

bool CLogStream::ReadAhead(LogSite& site) {
  if (!has_pending_) has_pending_ = NextRecord(site, pending_);
  return has_pending_;
}

CLogRecord* CLogStream::TakePending() {
  has_pending_ = false;
  Delivered(pending_);
  return &pending_;
}

bool CLogStream::TakeNext(LogSite& site, CLogRecord& into) {
  if (has_pending_) {
    into = *TakePending();
    return true;
  }
  if (!NextRecord(site, into)) return false;
  Delivered(into);
  return true;
}

void CLogStream::Delivered(const CLogRecord& record) {
  last_record_date_ = record.time;
  last_position_ = pending_position_;
}

}  // namespace tf
