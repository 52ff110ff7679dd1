// ReportRun: one report generator object's runs. LoadProject reads a report
// command line and builds one complete report for one site and one date
// range into the command line's output folder:
//
//   <folder>/<name>.html            the page, written last
//   <folder>/chart/<name>-*.jpg     the section charts
//   <folder>/help/1.html ...        one help page per topic
//   <folder>/images/question1.gif   the help icon
//
// The result says whether the report was written and, if not, where the run
// stopped: 1 written (also when the range has no data); -10, -11, -12 for a
// line without /d, /p or /s; -13 for an unknown site; -2 for a site without
// daily rows; any other negative value is the progress code written last
// before a failure (a 32-bit integer; the others are 16-bit).
#pragma once

#include <cstdint>
#include <string>

#include "platform/com/variant.h"
#include "report/report_builder.h"

namespace tf::report {

// Programmatic identifiers of the classes a run creates.
inline constexpr const char* kSupportProgId = "TFsupport.TFcom.1";
inline constexpr const char* kChartProgId = "Pictoloom.LoomChart.1";
// The install folder when the support component answers with nothing.
inline constexpr const char* kDefaultHomeFolder = "/opt/tallyfox/";

class ReportRun : public ReportBuilder {
 public:
  ReportRun() = default;

  // The whole run. Never raises.
  com::Variant LoadProject(const com::Variant& command_line);

  // The steps of the run that read the command line.
  std::int16_t ProcessCommandLine();
  std::string GetParam(char letter);

  // Small functions that no step calls: 0 (16-bit) for an empty text, else
  // its length in characters (32-bit); whether a file (not a folder) exists.
  static com::Variant TestReport(const com::Variant& text);
  bool FileExists(const std::string& path);
};

}  // namespace tf::report
