#include "bench/analyze/log_checks.h"

#include "engine/common/path.h"
#include "engine/logs/file_access.h"
#include "engine/logs/wildcard.h"

namespace tf::bench {
namespace {

// Empty when the first byte of the file can be read (or it has none).
std::string ReadProblem(const std::string& path) {
  ReadOnlyFile file;
  if (int error = file.Open(path); error != 0) {
    return "cannot open " + path + ": " + FileErrorCause(error);
  }
  char byte;
  if (file.Read(&byte, 1) < 0) return "cannot read " + path;
  return "";
}

}  // namespace

std::vector<std::string> FindLogProblems(const std::vector<std::string>& patterns) {
  std::vector<std::string> problems;
  for (const std::string& pattern : patterns) {
    std::string folder(FolderOf(pattern));
    std::string_view name_pattern = FileNameOf(pattern);
    bool matched = false;
    // The files the run's own discovery lists: regular ones whose name fits.
    for (const std::string& name : ListFolder(folder)) {
      std::string path = JoinPath(folder, name);
      FileFacts facts;
      if (!MatchesWildcard(name, name_pattern) || !GetFileFacts(path, facts) || !facts.regular) {
        continue;
      }
      matched = true;
      if (std::string problem = ReadProblem(path); !problem.empty()) problems.push_back(problem);
    }
    if (!matched) problems.push_back("no log file matches " + pattern);
  }
  return problems;
}

}  // namespace tf::bench
