#include "bench/analyze/home_setup.h"

#include <filesystem>

#include "bench/analyze/analyze_process.h"

namespace tf::bench {

namespace fs = std::filesystem;

bool PrepareHome(const std::string& home, std::string& failure) {
  std::error_code error;
  if (fs::exists(home, error) && !fs::is_directory(home, error)) {
    failure = home + " is not a folder";
    return false;
  }
  if (!fs::exists(home, error)) fs::create_directories(home, error);
  if (error) {
    failure = "cannot make " + home + ": " + error.message();
    return false;
  }
  if (!fs::is_empty(home, error)) return true;
  AnalyzeResult staged = RunTfAnalyze(TF_CMAKE_COMMAND,
                                      {"--install", TF_BINARY_DIR, "--prefix", home}, true);
  if (staged.status != 0) {
    failure = "cannot set up " + home + " from the build in " TF_BINARY_DIR ": " + staged.errors;
    while (!failure.empty() && failure.back() == '\n') failure.pop_back();
    return false;
  }
  return true;
}

}  // namespace tf::bench
