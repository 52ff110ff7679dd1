// The headless driver as scripts and benchmarks use it: a staged install
// folder, log files given on the command line, one line of figures.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/analyze/analyze_process.h"
#include "support/test_support.h"

namespace tf {
namespace {

namespace fs = std::filesystem;

using bench::AnalyzeResult;

AnalyzeResult Analyze(const std::vector<std::string>& args) {
  return bench::RunTfAnalyze(test::BuildPath("bench/tf-analyze"), args);
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(TfAnalyzeTest, AnalysesIntoTheInstallFolderOnly) {
  test::TempDir home, logs;
  for (const char* name : {"TallyfoxTemplate.mdb", "ProjectTemplate.mdb", "SystemTemplate.mdb"}) {
    fs::copy_file(test::BuildPath(std::string("data/") + name), home.File(name));
  }
  test::WriteFile(logs.File("access.log"),
                  "192.0.2.1 - - [07/Jan/2007:10:05:00 +0000] \"GET / HTTP/1.1\" 200 10 \"-\" \"A\"\n"
                  "192.0.2.2 - - [07/Jan/2007:11:05:00 +0000] \"GET /a.gif HTTP/1.1\" 200 20 \"-\" \"A\"\n");
  std::string registry_before = fs::exists(test::RegistryFile()) ? test::ReadFile(test::RegistryFile()) : "";

  AnalyzeResult first = Analyze({"--home", home.path(), logs.File("*.LOG")});
  ASSERT_EQ(first.status, 0) << first.output;
  std::string database = home.File("Project0001.mdb");
  EXPECT_NE(first.output.find("records=2 seconds="), std::string::npos) << first.output;
  EXPECT_NE(first.output.find(" peak_rss_kb="), std::string::npos) << first.output;
  EXPECT_EQ(first.output.substr(first.output.rfind(" database=")), " database=" + database + "\n");
  EXPECT_NE(test::ReadFile(home.File("registry")).find(home.path()), std::string::npos)
      << "Path names the install folder";

  AnalyzeResult second = Analyze({"--home", home.path(), logs.File("*.LOG")});
  ASSERT_EQ(second.status, 0);
  EXPECT_EQ(second.output.rfind("records=0 ", 0), 0u) << second.output;

  EXPECT_EQ(Entries(logs.path()), std::vector<std::string>{"access.log"});
  std::string registry_after = fs::exists(test::RegistryFile()) ? test::ReadFile(test::RegistryFile()) : "";
  EXPECT_EQ(registry_after, registry_before) << "the caller's registry is not touched";
}

TEST(TfAnalyzeTest, WrongUseIsRefused) {
  test::TempDir home;
  EXPECT_EQ(Analyze({"--home", home.path()}).status, 2) << "no log file";
  EXPECT_EQ(Analyze({"--home", home.path(), "--bogus", "x.log"}).status, 2);
  EXPECT_EQ(Analyze({"--home", home.File("missing"), "x.log"}).status, 1);
}

}  // namespace
}  // namespace tf
