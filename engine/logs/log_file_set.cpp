#include "engine/logs/log_file_set.h"

#include "engine/logs/log_site.h"
#include "engine/logs/log_stream.h"

namespace tf {

CLogFileSet::CLogFileSet(LogSite& site, double zone_offset)
    : site_(site), zone_offset_(zone_offset) {}

CLogFileSet::~CLogFileSet() = default;

void CLogFileSet::FindFiles() {
  LogParseOptions options;
  options.zone_offset = zone_offset_;
  options.date_order = site_.DateFormat();
  options.ncsa_zone_from_line = site_.AutoTimezone() != 0;
  // A file that two patterns of the run reach is read by the first only.
  std::vector<FileIdentity> seen;
  for (auto& stream : site_.LogStreams()) {
    stream->set_options(options);
    stream->FindLogFiles(site_);
    stream->DropFilesListedElsewhere(seen);
  }
}

CLogRecord* CLogFileSet::NextRecord() {
  CLogStream* winner = nullptr;
  for (auto& stream : site_.LogStreams()) {
    if (!stream->ReadAhead(site_)) continue;
    if (winner == nullptr || stream->pending().time < winner->pending().time) winner = stream.get();
  }
  return winner == nullptr ? nullptr : winner->TakePending();
}

bool CLogFileSet::ReadNext(CLogRecord& into) {
  // Streams not asked for this run, or read to their end, take no part.
  CLogStream* only = nullptr;
  int live = 0;
  for (auto& stream : site_.LogStreams()) {
    if (stream->exhausted()) continue;
    only = stream.get();
    ++live;
  }
  if (live == 0) return false;
  if (live == 1) return only->TakeNext(site_, into);
  CLogRecord* record = NextRecord();
  if (record == nullptr) return false;
  into = *record;
  return true;
}

void CLogFileSet::CloseAll() {
  for (auto& stream : site_.LogStreams()) stream->CloseLogFile(&site_);
}

std::int64_t CLogFileSet::TotalBytes() const {
  std::int64_t total = 0;
  for (const auto& stream : site_.LogStreams()) total += stream->total_bytes();
  return total;
}

std::int64_t CLogFileSet::BytesRead() const {
  std::int64_t total = 0;
  for (const auto& stream : site_.LogStreams()) total += stream->bytes_read();
  return total;
}

}  // namespace tf
