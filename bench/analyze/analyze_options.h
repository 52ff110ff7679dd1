// The command line of tf-analyze: its options, the usage line and the help
// that explains each option.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace tf::bench {

struct AnalyzeOptions {
  std::string home;
  std::string site = "Sample site";
  std::optional<std::string> domain;     // the site's DomainName
  std::optional<std::string> home_page;  // the site's HomePage
  double timezone = 0;
  bool translate = false;
  std::string reports;  // the report folder; empty: no report
  std::vector<std::string> patterns;
};

enum class CommandLine { kRun, kHelp, kWrong };

// Reads the arguments after the program name into options.
CommandLine ParseAnalyzeOptions(int argc, char** argv, AnalyzeOptions& options);

void PrintUsage(std::FILE* out);
// The usage line, then one line for each option.
void PrintHelp(std::FILE* out);

// Absolute, without a trailing separator.
std::string FolderPath(const std::string& text);

}  // namespace tf::bench
