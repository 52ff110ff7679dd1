// What keeps the log files of a run from being read whole, told before the
// run: a file pattern that matches no file, a file that cannot be opened
// or read. The run still reads what it can.
#pragma once

#include <string>
#include <vector>

namespace tf::bench {

// One text for each problem, in the order of the patterns.
std::vector<std::string> FindLogProblems(const std::vector<std::string>& patterns);

}  // namespace tf::bench
