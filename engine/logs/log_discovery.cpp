// Finding the files of a log stream and acting on them once read.
#include <algorithm>

#include "engine/common/display.h"
#include "engine/common/files.h"
#include "engine/common/path.h"
#include "engine/logs/file_access.h"
#include "engine/logs/log_site.h"
#include "engine/logs/log_stream.h"
#include "engine/logs/wildcard.h"

namespace tf {
namespace {

// Files changed this recently may still be written by the web server.
constexpr double kStillWritingSeconds = 60;
// A file written this long before the last file completed cannot hold new
// records; and one written within a minute of it is read again, in case.
constexpr double kDiscoveryWindowSeconds = 7200;
constexpr double kRescanWindowSeconds = 60;

// Sorts by write time as the system always has: each position in turn
// takes, by exchanges, the earliest of the entries after it. Equal times
// end in the order these exchanges leave.
void ExchangeSort(std::vector<LogFileEntry>& files) {
  for (size_t i = 0; i + 1 < files.size(); ++i) {
    for (size_t j = i + 1; j < files.size(); ++j) {
      if (files[j].write_time < files[i].write_time) std::swap(files[i], files[j]);
    }
  }
}

}  // namespace

void CLogStream::FindLogFiles(LogSite& site) {
  CloseLogFile(nullptr);
  files_.clear();
  next_index_ = 0;
  current_index_ = -1;
  total_bytes_ = 0;
  done_bytes_ = 0;
  resume_index_ = -1;
  resume_record_date_ = last_record_date_;
  if (!active_) return;

  std::string_view folder = FolderOf(file_pattern_);
  std::string_view pattern = FileNameOf(file_pattern_);

  TimeValue threshold = 0;
  if (last_file_date_ > 0) {
    threshold = last_file_date_ - kDiscoveryWindowSeconds;
    site.Trace("Looking for log files since " + FormatDateOrEmpty(threshold));
  } else {
    site.Trace("Looking for all log files");
  }
  site.Trace("Log file name pattern: " + file_pattern_);

  for (const std::string& name : ListFolder(std::string(folder))) {
    if (files_.size() >= kMaxListedFiles) break;
    if (!MatchesWildcard(name, pattern)) continue;
    LogFileEntry entry;
    entry.path = JoinPath(folder, name);
    FileFacts facts;
    if (!GetFileFacts(entry.path, facts) || !facts.regular) continue;
    if (facts.write_time < threshold) continue;
    entry.write_time = facts.write_time;
    entry.size = facts.size;
    entry.identity = facts.identity;
    total_bytes_ += entry.size;
    files_.push_back(std::move(entry));
  }
  ExchangeSort(files_);

  if (last_file_date_ > 0) {
    size_t skip = 0;
    while (skip + 1 < files_.size() &&
           files_[skip].write_time < last_file_date_ - kRescanWindowSeconds) {
      site.Trace("Skipping previously-scanned file " + files_[skip].path + " (" +
                 FormatDateOrEmpty(files_[skip].write_time) + ")");
      total_bytes_ -= files_[skip].size;
      ++skip;
    }
    files_.erase(files_.begin(), files_.begin() + static_cast<std::ptrdiff_t>(skip));
  }

  LocateResumeFile();

  site.Trace(std::to_string(files_.size()) + " Log files to be processed:");
  for (const LogFileEntry& entry : files_) {
    site.Trace("  " + entry.path + "  (" + FormatDateOrEmpty(entry.write_time) + ")");
  }
}

void CLogStream::LocateResumeFile() {
  resume_index_ = -1;
  for (size_t i = 0; i < files_.size() && last_position_.known(); ++i) {
    if (files_[i].identity == last_position_.file && files_[i].size >= last_position_.offset) {
      resume_index_ = static_cast<std::ptrdiff_t>(i);
      break;
    }
  }
}

void CLogStream::DropFilesListedElsewhere(std::vector<FileIdentity>& seen) {
  auto listed_elsewhere = [&](const LogFileEntry& entry) {
    return std::find(seen.begin(), seen.end(), entry.identity) != seen.end();
  };
  for (const LogFileEntry& entry : files_) {
    if (listed_elsewhere(entry)) total_bytes_ -= entry.size;
  }
  std::erase_if(files_, listed_elsewhere);
  for (const LogFileEntry& entry : files_) seen.push_back(entry.identity);
  LocateResumeFile();
}

void CLogStream::ApplyOldLogAction(LogSite& site) {
  int action = site.OldLogAction();
  if (action < 1 || action > 3 || current_path_.empty()) return;
  // Never the file the web server may still be writing: the newest of the
  // stream, or one changed within the last minute.
  if (current_index_ < 0 || static_cast<size_t>(current_index_) + 1 >= files_.size()) return;
  FileFacts facts;
  if (!GetFileFacts(current_path_, facts) || !facts.regular) return;
  if (facts.write_time > NowLocalSeconds() - kStillWritingSeconds) return;

  std::string_view name = FileNameOf(current_path_);

  switch (action) {
    case 1:
      RemoveFile(current_path_);
      break;
    case 2: {
      // The new name stays in the folder: a mask cannot lead elsewhere.
      std::string renamed = BuildOldLogName(name, site.OldNameMask());
      if (IsPlainFileName(renamed)) {
        MoveFileNoReplace(current_path_, JoinPath(FolderOf(current_path_), renamed));
      }
      break;
    }
    case 3: {
      std::string archive = WithTrailingSeparator(site.LogFileArchiveDirectory());
      if (archive.empty()) return;  // no folder to move into
      CreateDirectoryChain(archive);
      MoveFileNoReplace(current_path_, archive + std::string(name));
      break;
    }
  }
}

std::string BuildOldLogName(std::string_view old_name, std::string_view mask) {
  while (!mask.empty() && mask.front() == ' ') mask.remove_prefix(1);
  std::string out;
  size_t m = 0, o = 0;
  while (m < mask.size()) {
    if (mask[m] == '*') {
      while (o < old_name.size() && old_name[o] != '.') out.push_back(old_name[o++]);
      if (o < old_name.size()) {
        out.push_back('.');
        ++o;
      }
      ++m;
      if (m < mask.size() && mask[m] == '.') ++m;
    } else {
      while (m < mask.size() && mask[m] != '.') out.push_back(mask[m++]);
      if (m < mask.size()) {
        out.push_back('.');
        ++m;
      }
      while (o < old_name.size() && old_name[o] != '.') ++o;
      if (o < old_name.size()) ++o;
    }
  }
  return out;
}

}  // namespace tf
