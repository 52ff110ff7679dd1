#include "viewer/console_link.h"

#include "engine/common/path.h"
#include "viewer/viewer_texts.h"

namespace tf::viewer {

ConsoleOutcome BringUpConsole(DesktopWindows& desktop, const std::string& home_folder) {
  if (desktop.RaiseWindowTitled(kConsoleTitle)) return ConsoleOutcome::kRaised;
  // Without an install folder there is no program to start.
  if (home_folder.empty()) return ConsoleOutcome::kFailed;
  return desktop.StartProgram(JoinPath(home_folder, kConsoleProgram)) ? ConsoleOutcome::kStarted
                                                                     : ConsoleOutcome::kFailed;
}

}  // namespace tf::viewer
