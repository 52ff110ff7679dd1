// Runs a desktop program on a private Xvfb display and answers its windows
// (see drive_windows.sh), for tests of the real programs.
#pragma once

#include <string>
#include <vector>

namespace tf::test {

struct DriveResult {
  int exit_code = -1;  // the program's status; 124 when a window did not come
  std::string errors;  // what the program wrote to its standard error
};

// Steps as drive_windows.sh takes them: "shot:REGEX:FILE", "enter:REGEX".
DriveResult DriveWindows(const std::string& program, const std::vector<std::string>& steps);

// build/screens/NAME, making the folder when needed.
std::string ScreenPath(const std::string& name);

}  // namespace tf::test
