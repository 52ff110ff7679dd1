// Starting other programs: a program with an argument vector, and the
// desktop's program for a document or URL. Programs are started directly,
// never through a shell, so no argument is ever interpreted as a command.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tf::shell {

struct StartOptions {
  // The program's working folder; empty: the caller's. The caller's own
  // current folder never changes.
  std::string working_folder;
  // Look a program name without '/' up on PATH. Otherwise, and for a name
  // with '/', a relative name is taken from the caller's current folder.
  bool search_path = false;
  // Wait for the program to end and report how it ended. A program not
  // waited for runs in a session of its own and is reaped when it ends.
  bool wait = false;
};

struct StartResult {
  bool started = false;
  int error = 0;  // errno when the program could not be started
  pid_t pid = -1;
  // When waited for: whether it exited (else a signal ended it), with what
  // status, or by which signal.
  bool exited = false;
  int exit_code = -1;
  int signal = 0;
};

// Starts `program` with `args` as its arguments after its own name. The
// program inherits the environment and the standard streams, and no other
// open file.
StartResult StartProgram(const std::string& program, const std::vector<std::string>& args,
                         const StartOptions& options = {});

// Opens a document, folder or URL with the desktop's program for it
// (xdg-open from PATH), without waiting. True when xdg-open could be
// started; whether it finds a program for the target is not known here.
bool OpenWithDefault(const std::string& target);

}  // namespace tf::shell
