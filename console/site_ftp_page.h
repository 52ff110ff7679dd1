// The "Log file download" page of a site and the message queue of its
// download progress dialog, without windows.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "console/site_page_text.h"

namespace tf {
class CSite;
}

namespace tf::console {

struct FtpFields {
  bool enable = false;
  bool passive = false;
  bool log_details = false;
  bool delete_remote = false;
  bool only_new = true;
  std::string address;
  std::string name;
  std::string password;
  std::string remote_folder;
  std::string file_name;
  std::string local_folder;
  std::string command;
  std::string last_date;  // shown only
};

// Fills the page; an empty local folder or file pattern is first taken
// from the site's first log file pattern (the site is then changed).
FtpFields FillFtp(CSite& site);
// Stores each field that differs from the site's value and marks the site
// changed when one did.
void StoreFtp(const FtpFields& fields, CSite& site);

enum class FtpField { kNone, kAddress, kFileName, kLocalFolder };
// The first missing value; kNone when the download can run.
FtpField MissingFtpValue(const CSite& site);
PageMessage MissingFtpMessage(FtpField field);
// "Reset": the date of the last file downloaded back to none.
void ResetFtpDate(CSite& site);

// "Downloading from ADDRESS".
std::string DownloadHeader(const CSite& site);
inline constexpr std::string_view kStartLine = " -- Click \"Start download\" to begin the download --";
inline constexpr std::string_view kStopLine = " -- Stop requested --";
inline constexpr std::string_view kFinishedLine = " -- The file download is finished --";

// Lines from the download's thread to the dialog's.
class FtpMessageQueue {
 public:
  struct Line {
    std::string text;
    bool last = false;
  };
  // The text without trailing CR, LF and blanks.
  void Push(std::string_view text, bool last = false);
  std::vector<Line> TakeAll();

 private:
  std::mutex mutex_;
  std::deque<Line> lines_;
};

// Appends the line, dropping the oldest while more than `visible` would be
// held, so the newest lines stay in view.
void AppendVisible(std::vector<std::string>& shown, std::string line, std::size_t visible);

}  // namespace tf::console
