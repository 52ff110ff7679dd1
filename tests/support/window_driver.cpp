#include "window_driver.h"

#include <unistd.h>

#include <filesystem>

#include "platform/shell/shell.h"
#include "test_support.h"

namespace tf::test {

DriveResult DriveWindows(const std::string& program, const std::vector<std::string>& steps) {
  TempDir dir;
  const std::string errors = dir.File("stderr");
  // Tests run side by side: each starts its search for a free display at its
  // own number.
  std::vector<std::string> args = {"-a", "-n", std::to_string(100 + getpid() % 800), "-s",
                                   "-screen 0 1024x768x24",
                                   std::string(TF_SOURCE_DIR) + "/tests/support/drive_windows.sh",
                                   program, errors};
  args.insert(args.end(), steps.begin(), steps.end());
  shell::StartOptions options;
  options.search_path = true;
  options.wait = true;
  const shell::StartResult run = shell::StartProgram("xvfb-run", args, options);
  DriveResult result;
  if (run.started && run.exited) result.exit_code = run.exit_code;
  if (std::filesystem::exists(errors)) result.errors = ReadFile(errors);
  return result;
}

std::string ScreenPath(const std::string& name) {
  const std::string folder = BuildPath("screens");
  std::filesystem::create_directories(folder);
  return folder + "/" + name;
}

}  // namespace tf::test
