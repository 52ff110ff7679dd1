#include "platform/shell/shell.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/test_support.h"

namespace tf::shell {
namespace {

using tf::test::ReadFile;
using tf::test::TempDir;
using tf::test::WriteFile;

// Waits until `done` holds, for at most a minute: for programs that run on
// without the test waiting for them.
template <class Condition>
bool Eventually(Condition done) {
  for (int i = 0; i < 600; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return done();
}

std::string WriteScript(const std::string& path, const std::string& body) {
  WriteFile(path, "#!/bin/sh\n" + body);
  chmod(path.c_str(), 0755);
  return path;
}

// Writes its folder, each argument on a line, and whether the descriptor
// named by $1 is open, into files in its working folder.
const char kRecorder[] =
    "pwd > cwd.txt\n"
    "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > args.txt\n"
    "if [ -e /dev/fd/$1 ]; then echo open; else echo closed; fi > fd.txt\n";

TEST(ShellTest, ChildGetsItsArgumentsAndFolderButNoStrayDescriptors) {
  TempDir dir;
  std::filesystem::create_directories(dir.File("work"));
  std::string recorder = WriteScript(dir.File("recorder"), kRecorder);
  int stray = open(recorder.c_str(), O_RDONLY);  // deliberately inheritable
  ASSERT_GE(stray, 3);
  const std::vector<std::string> args = {std::to_string(stray), "two words", "$(touch pwned)",
                                         "; touch pwned2", "\"quoted\" 'single'", "*", ""};
  std::string before = std::filesystem::current_path();

  StartOptions options;
  options.working_folder = dir.File("work");
  options.wait = true;
  StartResult result = StartProgram(recorder, args, options);
  close(stray);
  ASSERT_TRUE(result.started) << result.error;
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exit_code, 0);

  std::string expected;
  for (const std::string& arg : args) expected += arg + "\n";
  EXPECT_EQ(ReadFile(dir.File("work/args.txt")), expected);
  EXPECT_EQ(ReadFile(dir.File("work/cwd.txt")), dir.File("work") + "\n");
  EXPECT_EQ(ReadFile(dir.File("work/fd.txt")), "closed\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("work/pwned")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("work/pwned2")));
  EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST(ShellTest, WaitingReportsHowTheProgramEnded) {
  TempDir dir;
  std::string exits = WriteScript(dir.File("exits"), "exit 7\n");
  std::string killed = WriteScript(dir.File("killed"), "kill -TERM $$\n");
  StartOptions wait;
  wait.wait = true;

  StartResult result = StartProgram(exits, {}, wait);
  EXPECT_TRUE(result.started && result.exited);
  EXPECT_EQ(result.exit_code, 7);
  result = StartProgram(killed, {}, wait);
  EXPECT_TRUE(result.started);
  EXPECT_FALSE(result.exited);
  EXPECT_EQ(result.signal, SIGTERM);

  // A relative program name means the caller's folder, not the child's.
  std::string here = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  wait.working_folder = "/";
  result = StartProgram("./exits", {}, wait);
  std::filesystem::current_path(here);
  EXPECT_TRUE(result.started);
  EXPECT_EQ(result.exit_code, 7);
}

TEST(ShellTest, ProgramsThatCannotStartAreReported) {
  TempDir dir;
  std::string exits = WriteScript(dir.File("exits"), "exit 0\n");
  StartOptions options;
  options.wait = true;

  StartResult result = StartProgram(dir.File("missing"), {}, options);
  EXPECT_FALSE(result.started);
  EXPECT_EQ(result.error, ENOENT);
  EXPECT_EQ(result.pid, -1);

  options.working_folder = dir.File("no-such-folder");
  EXPECT_FALSE(StartProgram(exits, {}, options).started);

  // A bare name is found on PATH only when asked for.
  options.working_folder.clear();
  EXPECT_FALSE(StartProgram("true", {}, options).started);
  options.search_path = true;
  result = StartProgram("true", {}, options);
  EXPECT_TRUE(result.started);
  EXPECT_EQ(result.exit_code, 0);
}

TEST(ShellTest, ProgramNotWaitedForRunsOnAndIsReaped) {
  TempDir dir;
  std::string touch = WriteScript(dir.File("touch"), ": > \"$1\"\n");
  StartResult result = StartProgram(touch, {dir.File("done")});
  ASSERT_TRUE(result.started);
  ASSERT_GT(result.pid, 0);
  EXPECT_TRUE(Eventually([&] { return std::filesystem::exists(dir.File("done")); }));
  // Once reaped, the finished child no longer exists even as a zombie.
  EXPECT_TRUE(Eventually([&] { return kill(result.pid, 0) != 0 && errno == ESRCH; }));
}

TEST(ShellTest, OpenWithDefaultHandsTheTargetToXdgOpenUnchanged) {
  TempDir dir;
  std::filesystem::create_directories(dir.File("bin"));
  WriteScript(dir.File("bin/xdg-open"), "printf '%s|%s' \"$#\" \"$1\" > \"$0.out\"\n");
  const char* old_path = std::getenv("PATH");
  std::string saved = old_path ? old_path : "";
  const std::string target = "/tmp/report $(touch pwned) & more.html";

  setenv("PATH", dir.File("bin").c_str(), 1);
  bool opened = OpenWithDefault(target);
  setenv("PATH", dir.File("empty").c_str(), 1);
  bool without_opener = OpenWithDefault(target);
  setenv("PATH", saved.c_str(), 1);

  EXPECT_TRUE(opened);
  EXPECT_FALSE(without_opener);
  std::string out = dir.File("bin/xdg-open.out");
  ASSERT_TRUE(Eventually([&] {
    return std::filesystem::exists(out) && ReadFile(out).size() == target.size() + 2;
  }));
  EXPECT_EQ(ReadFile(out), "1|" + target);
}

}  // namespace
}  // namespace tf::shell
