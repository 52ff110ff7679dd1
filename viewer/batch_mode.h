// Batch mode: with a command line the viewer writes one report and ends,
// without a window:
//   /d FOLDER  /p PROJECT  (/s mm/dd/yyyy-mm/dd/yyyy | /c)  [/r NAME]
// /c reports the month of the project's last log date up to that date and
// wins over /s. Values in double quotes may hold blanks; switches are found
// in any case, values keep theirs (folder and report names are file names).
#pragma once

#include <string>
#include <vector>

namespace tf::viewer {

// The program's arguments as one command line: a single argument is the
// line itself; several are joined with blanks, each that holds a blank put
// in double quotes.
std::string JoinArguments(const std::vector<std::string>& args);

// Runs the batch for the command line with the install folder (empty when
// the support component gave none). Messages go through ShowMessageBox.
// Returns the exit status: 0 when the report page was written, else 1.
int RunBatch(const std::string& command_line, const std::string& home_folder);

}  // namespace tf::viewer
