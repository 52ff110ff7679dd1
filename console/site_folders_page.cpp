#include "console/site_folders_page.h"

#include <algorithm>

#include "engine/common/files.h"
#include "engine/site/site.h"

namespace tf::console {

namespace {
constexpr std::size_t kFolderFieldSize = 300;

// The last '/' that separates a folder from a file part.
std::size_t LastSeparator(std::string_view text) { return text.rfind('/'); }
}  // namespace

std::string DefaultPatternOf(std::string_view pattern) {
  std::size_t slash = LastSeparator(pattern);
  if (slash == std::string_view::npos) return {};
  if (slash > 0 && pattern[slash - 1] == ':') return {};
  return std::string(pattern.substr(slash));
}

LogSpecCheck CheckLogSpec(std::string& text) {
  text = TrimRight(CutField(text, kLogSpecSize));
  if (text.empty()) return LogSpecCheck::kEmpty;
  std::size_t slash = LastSeparator(text);
  if (slash == std::string::npos) return LogSpecCheck::kNeedDirectory;
  if (text.find('.', slash) == std::string::npos) return LogSpecCheck::kNeedFileName;
  return LogSpecCheck::kAccept;
}

PageMessage LogSpecMessage(LogSpecCheck check) {
  if (check == LogSpecCheck::kNeedDirectory) {
    return {"You must specify a directory.", "Invalid file specification", MessageIcon::kError,
            MessageButtons::kOkCancel};
  }
  if (check == LogSpecCheck::kNeedFileName) {
    return {"You must specify a file name (usually with wildcard: * or %).", "No file name",
            MessageIcon::kError, MessageButtons::kOkCancel};
  }
  return {};
}

std::string CompleteWithLogPattern(std::string_view text) {
  std::string done(text);
  if (done.empty() || done.back() != '/') done += '/';
  return CutField(done + "*.log", kLogSpecSize);
}

std::string BrowsedPattern(std::string_view folder, std::string_view default_pattern) {
  std::string picked = TrimmedField(folder, kLogSpecSize);
  if (picked.empty()) return {};
  if (default_pattern.empty()) {
    if (picked.back() == '/') picked.pop_back();
    return CutField(picked + "/*.log", kLogSpecSize);
  }
  if (picked.back() == '/' && default_pattern.front() == '/') picked.pop_back();
  return CutField(picked + std::string(default_pattern), kLogSpecSize);
}

CLogStream& AddLogStream(CSite& site, std::string_view pattern) {
  std::string spec = CutField(pattern, kLogSpecSize);
  auto& streams = site.log_streams;
  streams.insert(streams.begin(), std::make_unique<CLogStream>(spec));
  site.settings_changed = true;
  std::size_t slash = LastSeparator(spec);
  if (slash != std::string::npos && slash > 0) CreateDirectoryChain(spec.substr(0, slash));
  return *streams.front();
}

void EditLogStream(CLogStream& stream, std::string_view pattern) {
  if (pattern.empty()) return;
  stream.set_file_pattern(CutField(pattern, kLogSpecSize));
}

void RemoveLogStream(CSite& site, const CLogStream& stream) {
  auto& streams = site.log_streams;
  streams.erase(std::remove_if(streams.begin(), streams.end(),
                               [&](const auto& held) { return held.get() == &stream; }),
                streams.end());
}

PageMessage ConfirmRemoveMessage(const CLogStream& stream) {
  return {"Delete " + stream.file_pattern() + " ?", "Confirm deletion", MessageIcon::kQuestion,
          MessageButtons::kOkCancel};
}

PageMessage NoLogSpecMessage() {
  return {"You must provide at least one log file specification.", "No log file specification",
          MessageIcon::kExclamation, MessageButtons::kOk};
}

bool NeedsLogStream(const CSite& site, bool new_site) {
  return new_site && site.log_streams.empty();
}

SiteFoldersFields FillSiteFolders(const CSite& site) {
  const SiteSettings& s = site.settings;
  return {s.OldLogAction, s.OldNameMask, s.LogFileArchiveDirectory, s.DateFormat};
}

void StoreSiteFolders(const SiteFoldersFields& f, CSite& site) {
  SiteSettings& s = site.settings;
  if (f.old_log_action >= 0 && f.old_log_action <= 3) s.OldLogAction = f.old_log_action;
  s.OldNameMask = TrimmedField(f.old_name_mask, kFolderFieldSize);
  s.LogFileArchiveDirectory = TrimmedField(f.archive_folder, kFolderFieldSize);
  if (s.OldLogAction == 3 && !s.LogFileArchiveDirectory.empty()) {
    CreateDirectoryChain(s.LogFileArchiveDirectory);
  }
  s.DateFormat = f.date_format;
}

std::string NormalizeFilter(std::string_view text) {
  std::string kept = TrimRight(text);
  if (!kept.empty()) kept += "\r\n";
  return kept;
}

void StoreLogFilters(std::string_view include, std::string_view exclude, CSite& site) {
  SiteSettings& s = site.settings;
  s.LogIncludeFilter = NormalizeFilter(include);
  s.LogExcludeFilter = NormalizeFilter(exclude);
}

}  // namespace tf::console
