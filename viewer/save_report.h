// "Save Report": the page of the last run as one file with its chart
// pictures beside it, named after the chosen file, without help icons.
#pragma once

#include <string>

namespace tf::viewer {

// What the last run left in the work folder.
struct ShownReport {
  std::string work_folder;
  std::string page_file;     // ReportFileName
  std::string chart_prefix;  // ChartFilePrefix
};

// The name the pictures of a save into `path` are named after: the file
// name without its last "." and what follows.
std::string SaveName(const std::string& path);

enum class SaveOutcome { kSaved, kKept, kFailed };

// Saves the report as `path`. An existing file is replaced only after Yes
// to the question; the outcome is told through ShowMessageBox ("Report
// saved as ..." or what failed).
SaveOutcome SaveReportAs(const ShownReport& report, const std::string& path);

}  // namespace tf::viewer
