#include "platform/shell/shell.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>

extern char** environ;

namespace tf::shell {
namespace {

// posix_spawn's attribute and file-action objects, destroyed on every path.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawnattr_init(&attributes_);
    posix_spawn_file_actions_init(&actions_);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  // The child starts with no blocked signal and default handling of those
  // this process may ignore, and without this process's other open files
  // (a listening socket, say, must not outlive the service in a child).
  int Prepare(const StartOptions& options) {
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (!options.wait) flags |= POSIX_SPAWN_SETSID;
    int error = posix_spawnattr_setflags(&attributes_, flags);
    if (!error) error = posix_spawnattr_setsigmask(&attributes_, &none);
    if (!error) error = posix_spawnattr_setsigdefault(&attributes_, &defaults);
    if (!error) error = posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1);
    if (!error && !options.working_folder.empty()) {
      error = posix_spawn_file_actions_addchdir_np(&actions_, options.working_folder.c_str());
    }
    return error;
  }

  const posix_spawnattr_t* attributes() const { return &attributes_; }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }

 private:
  posix_spawnattr_t attributes_;
  posix_spawn_file_actions_t actions_;
};

void WaitFor(StartResult& result) {
  int status = 0;
  pid_t done;
  do {
    done = waitpid(result.pid, &status, 0);
  } while (done < 0 && errno == EINTR);
  if (done != result.pid) return;
  result.exited = WIFEXITED(status);
  if (result.exited) result.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

}  // namespace

StartResult StartProgram(const std::string& program, const std::vector<std::string>& args,
                         const StartOptions& options) {
  StartResult result;
  bool on_path = options.search_path && program.find('/') == std::string::npos;
  std::string file = program;
  if (!on_path && !program.empty()) {
    // The child changes folder before it runs the program; a relative name
    // must still mean what it means to the caller.
    std::error_code error;
    file = std::filesystem::absolute(program, error).string();
    if (error) file = program;
  }

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  SpawnSetup setup;
  result.error = setup.Prepare(options);
  if (result.error == 0) {
    result.error = on_path ? posix_spawnp(&result.pid, file.c_str(), setup.actions(),
                                          setup.attributes(), argv.data(), environ)
                           : posix_spawn(&result.pid, file.c_str(), setup.actions(),
                                         setup.attributes(), argv.data(), environ);
  }
  if (result.error != 0) {
    result.pid = -1;
    return result;
  }
  result.started = true;
  if (options.wait) {
    WaitFor(result);
  } else {
    // Reap it when it ends, so that no finished child lingers.
    std::thread([pid = result.pid] {
      StartResult ignored;
      ignored.pid = pid;
      WaitFor(ignored);
    }).detach();
  }
  return result;
}

bool OpenWithDefault(const std::string& target) {
  StartOptions options;
  options.search_path = true;
  return StartProgram("xdg-open", {target}, options).started;
}

}  // namespace tf::shell
