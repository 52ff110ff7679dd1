// The headless driver as scripts and benchmarks use it: a staged install
// folder, log files given on the command line, one line of figures.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

extern char** environ;

namespace tf {
namespace {

namespace fs = std::filesystem;

struct Result {
  int status = -1;
  std::string output;
};

// Runs tf-analyze with the arguments and without TALLYFOX_REGISTRY, so that
// it uses the install folder's own registry.
Result Analyze(std::vector<std::string> args) {
  args.insert(args.begin(), test::BuildPath("bench/tf-analyze"));
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string(*e).rfind("TALLYFOX_REGISTRY=", 0) != 0) env.push_back(*e);
  }
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  pid_t child = 0;
  Result result;
  int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  char buffer[512];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) result.output.append(buffer, n);
  close(fds[0]);
  int status = 0;
  if (spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    result.status = WEXITSTATUS(status);
  }
  return result;
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

  Result first = Analyze({"--home", home.path(), logs.File("*.LOG")});
  ASSERT_EQ(first.status, 0) << first.output;
  std::string database = home.File("Project0001.mdb");
  EXPECT_NE(first.output.find("records=2 seconds="), std::string::npos) << first.output;
  EXPECT_NE(first.output.find(" peak_rss_kb="), std::string::npos) << first.output;
  EXPECT_EQ(first.output.substr(first.output.rfind(" database=")), " database=" + database + "\n");
  EXPECT_NE(test::ReadFile(home.File("registry")).find(home.path()), std::string::npos)
      << "Path names the install folder";

  Result second = Analyze({"--home", home.path(), logs.File("*.LOG")});
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
