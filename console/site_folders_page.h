// The "Log files" page of a site and its log file pattern dialog,
// without windows: the pattern checks, the list of log streams and
// what happens to old log files.
#pragma once

#include <string>
#include <string_view>

#include "console/site_page_text.h"

namespace tf {
class CSite;
class CLogStream;
}

namespace tf::console {

inline constexpr std::size_t kLogSpecSize = 300;

// The file part of a pattern, from its last '/' on ("/*.log"); empty
// when it has no folder.
std::string DefaultPatternOf(std::string_view pattern);

// OK in the pattern dialog.
enum class LogSpecCheck {
  kAccept,         // a folder and a file part
  kEmpty,          // nothing typed: the dialog ends with an empty text
  kNeedDirectory,  // no '/': ask; OK edits again, Cancel gives up
  kNeedFileName,   // no '.' after the last '/': ask; OK completes with "*.log"
};
// The typed text is cut to its field and trimmed on the right first.
LogSpecCheck CheckLogSpec(std::string& text);
PageMessage LogSpecMessage(LogSpecCheck check);
// After OK to kNeedFileName: "/" when missing, then "*.log".
std::string CompleteWithLogPattern(std::string_view text);
// "Browse": the picked folder with the default pattern (or "/*.log");
// empty when no folder was picked.
std::string BrowsedPattern(std::string_view folder, std::string_view default_pattern);

// "Add": a new stream at the head of the site's list; its folder (and every
// missing level above it) is created. Returns the new stream.
CLogStream& AddLogStream(CSite& site, std::string_view pattern);
// "Edit": an empty text leaves the stream as it is.
void EditLogStream(CLogStream& stream, std::string_view pattern);
// "Remove".
void RemoveLogStream(CSite& site, const CLogStream& stream);
PageMessage ConfirmRemoveMessage(const CLogStream& stream);
PageMessage NoLogSpecMessage();
// A new site must have a stream before the page can be left.
bool NeedsLogStream(const CSite& site, bool new_site);

struct SiteFoldersFields {
  int old_log_action = 0;  // 0 leave, 1 delete, 2 rename, 3 move; -1 none chosen
  std::string old_name_mask;
  std::string archive_folder;
  int date_format = 0;
};
SiteFoldersFields FillSiteFolders(const CSite& site);
// The archive folder is created when old files are moved there.
void StoreSiteFolders(const SiteFoldersFields& fields, CSite& site);

// "Log filters": trailing blanks and line ends go; what is left ends with
// one "\r\n"; nothing left is empty.
std::string NormalizeFilter(std::string_view text);
// Replaces each filter whose normal form differs from the stored one.
void StoreLogFilters(std::string_view include, std::string_view exclude, CSite& site);

}  // namespace tf::console
