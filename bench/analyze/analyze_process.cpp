#include "bench/analyze/analyze_process.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

extern char** environ;

namespace tf::bench {

int StartTfAnalyze(const std::string& program, const std::vector<std::string>& args, int out_fd,
                   int close_fd, int err_fd) {
  std::vector<std::string> argv_text = {program};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argv_text) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string(*e).rfind("TALLYFOX_REGISTRY=", 0) != 0) env.push_back(*e);
  }
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
  if (close_fd >= 0) posix_spawn_file_actions_addclose(&actions, close_fd);
  if (err_fd >= 0) posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
  pid_t child = 0;
  int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? child : -1;
}

AnalyzeResult RunTfAnalyze(const std::string& program, const std::vector<std::string>& args,
                           bool capture_errors) {
  AnalyzeResult result;
  int fds[2];
  if (pipe(fds) != 0) return result;
  // Standard error goes to an unnamed file, so that neither stream can
  // fill up while the other is read.
  std::FILE* errors = capture_errors ? std::tmpfile() : nullptr;
  int child = StartTfAnalyze(program, args, fds[1], fds[0], errors ? fileno(errors) : -1);
  close(fds[1]);
  char buffer[512];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) result.output.append(buffer, n);
  close(fds[0]);
  int status = 0;
  rusage usage{};
  if (child > 0 && wait4(child, &status, 0, &usage) == child) {
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    result.peak_rss_kb = usage.ru_maxrss;
  }
  if (errors != nullptr) {
    std::rewind(errors);
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, errors)) > 0;) {
      result.errors.append(buffer, n);
    }
    std::fclose(errors);
  }
  return result;
}

std::string LastLine(const std::string& output) {
  std::string text = output;
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text.substr(text.rfind('\n') + 1);
}

}  // namespace tf::bench
