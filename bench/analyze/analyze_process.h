// Runs tf-analyze as a child process the way benchmarks and tests use it:
// without the caller's TALLYFOX_REGISTRY, so that it works in the install
// folder's own registry, and with its standard output captured (and its
// standard error, when asked for).
#pragma once

#include <string>
#include <vector>

namespace tf::bench {

struct AnalyzeResult {
  int status = -1;  // the exit status; -1 when it did not run or end normally
  std::string output;
  std::string errors;  // standard error when captured
  long peak_rss_kb = 0;  // the child's peak resident memory
};

// Standard error stays the caller's unless capture_errors is set. Also runs
// other programs of the benchmarks and tests the same way.
AnalyzeResult RunTfAnalyze(const std::string& program, const std::vector<std::string>& args,
                           bool capture_errors = false);

// Starts it the same way without waiting: standard output to out_fd,
// close_fd closed in the child, standard error to err_fd unless it is -1.
// The child's process id, or -1.
int StartTfAnalyze(const std::string& program, const std::vector<std::string>& args, int out_fd,
                   int close_fd = -1, int err_fd = -1);

// The last line of the output, without its line end.
std::string LastLine(const std::string& output);

}  // namespace tf::bench
