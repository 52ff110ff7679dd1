// The progress of a long run on a terminal: the share of the log bytes
// read and the records per second, from the figures the run keeps for the
// status panel, on one line of standard error that is rewritten in place.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "engine/site/site.h"

namespace tf::bench {

// "  42% of 1.5 MB of logs, 12,345 records, 6,789 records/s"
std::string ProgressLine(double bytes_read, double log_size, long records, double seconds);

// Shows the site's progress while it lives, when standard error is a
// terminal; otherwise does nothing.
class TerminalProgress {
 public:
  explicit TerminalProgress(CSite& site);
  ~TerminalProgress();
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

 private:
  void Show(double seconds);

  CSite& site_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  bool shown_ = false;
  std::thread thread_;
};

}  // namespace tf::bench
