#include "bench/analyze/analyze_options.h"

#include <cstdlib>
#include <filesystem>

namespace tf::bench {
namespace {

constexpr const char* kUsage =
    "usage: tf-analyze --home DIR [--site NAME] [--domain NAME] [--home-page NAME]\n"
    "                  [--timezone SECONDS] [--translate] [--reports OUTDIR] LOGPATTERN...\n";

constexpr const char* kOptions =
    "One analysis run of one site of an install folder over the given log files.\n"
    "  --home DIR          the install folder; one that is missing or empty is first set\n"
    "                      up as `cmake --install` of this build stages it\n"
    "  --site NAME         the site to run, made when missing (default \"Sample site\")\n"
    "  --domain NAME       the site's own domain: its pages are no referring site\n"
    "  --home-page NAME    the page a request for \"/\" counts as (e.g. index.html)\n"
    "  --timezone SECONDS  UTC minus the zone to count in, subtracted from every record\n"
    "                      time: -7200 counts a UTC log in UTC+2 (default 0, as written)\n"
    "  --translate         look up the visitors' host names with the system's resolver\n"
    "  --reports OUTDIR    then write the site's report over every analysed day there\n"
    "  --help              print this help and exit\n"
    "  LOGPATTERN          a log file, or a folder and a file name with * and ?\n";

bool ParseSeconds(const char* text, double& seconds) {
  char* end = nullptr;
  seconds = std::strtod(text, &end);
  return end != text && *end == '\0';
}

// The report command line quotes the folder, so a quote in it would send
// the report elsewhere.
bool IsReportFolder(const std::string& folder) {
  return !folder.empty() && folder.find('"') == std::string::npos;
}

}  // namespace

std::string FolderPath(const std::string& text) {
  std::error_code error;
  std::string path = std::filesystem::absolute(text, error).lexically_normal().string();
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

CommandLine ParseAnalyzeOptions(int argc, char** argv, AnalyzeOptions& options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool has_value = i + 1 < argc;
    if (arg == "--help") return CommandLine::kHelp;
    if (arg == "--home" && has_value) {
      options.home = argv[++i];
    } else if (arg == "--site" && has_value) {
      options.site = argv[++i];
    } else if (arg == "--domain" && has_value) {
      options.domain = argv[++i];
    } else if (arg == "--home-page" && has_value) {
      options.home_page = argv[++i];
    } else if (arg == "--timezone" && has_value) {
      if (!ParseSeconds(argv[++i], options.timezone)) return CommandLine::kWrong;
    } else if (arg == "--translate") {
      options.translate = true;
    } else if (arg == "--reports" && has_value) {
      options.reports = FolderPath(argv[++i]);
      if (!IsReportFolder(options.reports)) return CommandLine::kWrong;
    } else if (arg.rfind("--", 0) == 0) {
      return CommandLine::kWrong;
    } else {
      options.patterns.push_back(std::filesystem::absolute(arg).lexically_normal().string());
    }
  }
  bool complete = !options.home.empty() && !options.site.empty() && !options.patterns.empty();
  return complete ? CommandLine::kRun : CommandLine::kWrong;
}

void PrintUsage(std::FILE* out) { std::fputs(kUsage, out); }

void PrintHelp(std::FILE* out) {
  PrintUsage(out);
  std::fputs(kOptions, out);
}

}  // namespace tf::bench
