// Report launching: after a site's analysis run, and on demand, the site's
// scheduled HTML reports are made by the report generator (TFReportCOM)
// in-process, one report per enabled date range. Every failure ends as a
// fixed text that the caller keeps as the site's report status.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/time_value.h"
#include "engine/site/site.h"

namespace tf {

namespace report {
class ITFReportClass;
}

// One enabled date range of a site's scheduled reports.
struct ScheduledReport {
  std::string name;  // the range's report name setting
  TimeValue first = 0;
  TimeValue last = 0;
};

// The enabled ranges in the order they are made (yesterday, current week,
// month and year, the last 7, 30, 90 and 365 days, the custom days), for
// the clock time `now`: each ends with yesterday, the last complete day.
std::vector<ScheduledReport> ScheduledReports(const SiteSettings& settings, TimeValue now);

// The report command line: /p "site" /d "folder" /r "name" /s first-last,
// the dates as mm/dd/yyyy.
std::string ReportCommandLine(std::string_view project, std::string_view folder,
                              std::string_view name, TimeValue first, TimeValue last);

// Makes every enabled scheduled report of the site, one report generator
// object for all, under the process's report lock (so report runs never
// overlap within a process). The generator is registered from the install
// folder when its class is not registered. True when every report was
// made; otherwise result_text holds the last failure's text (cut to
// size - 1 bytes).
bool GenerateReports(CSite& site, std::string& result_text, std::size_t size);

// One report of the site for the dates first to last, made the same way
// (folder check, lock, generator registered when needed); for a caller
// that chooses its own range.
bool GenerateRangeReport(CSite& site, TimeValue first, TimeValue last, std::string_view name,
                         std::string& result_text, std::size_t size);

// One report: LoadProject with the command line, and its result as a text.
bool GenerateOneReport(CSite& site, report::ITFReportClass* report, TimeValue first,
                       TimeValue last, std::string_view name, std::string& result_text,
                       std::size_t size);

}  // namespace tf
