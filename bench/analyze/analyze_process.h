// Runs tf-analyze as a child process the way benchmarks and tests use it:
// without the caller's TALLYFOX_REGISTRY, so that it works in the install
// folder's own registry, and with its standard output captured.
#pragma once

#include <string>
#include <vector>

namespace tf::bench {

struct AnalyzeResult {
  int status = -1;  // the exit status; -1 when it did not run or end normally
  std::string output;
};

AnalyzeResult RunTfAnalyze(const std::string& program, const std::vector<std::string>& args);

// The last line of the output, without its line end.
std::string LastLine(const std::string& output);

}  // namespace tf::bench
