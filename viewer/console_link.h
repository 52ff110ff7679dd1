// Bringing up the analyzer console: its main window by its exact title,
// else its program from the install folder.
#pragma once

#include <string>

namespace tf::viewer {

// What the desktop offers for it; the program supplies the real one.
class DesktopWindows {
 public:
  virtual ~DesktopWindows() = default;
  // Brings the top-level window of exactly this title to the front and
  // shows it (restored when minimised or hidden); false when none exists.
  virtual bool RaiseWindowTitled(const std::string& title) = 0;
  // Starts the program without arguments, not waiting; false when it
  // cannot be started.
  virtual bool StartProgram(const std::string& path) = 0;
};

enum class ConsoleOutcome { kRaised, kStarted, kFailed };

// A console that cannot be started gives no message.
ConsoleOutcome BringUpConsole(DesktopWindows& desktop, const std::string& home_folder);

}  // namespace tf::viewer
