// The "Reports" page of a site without its window: which scheduled reports
// are made, their names and folder, and the status of the last generation.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "console/site_page_text.h"
#include "engine/common/time_value.h"

namespace tf {
class CSite;
struct SiteSettings;
}

namespace tf::console {

// The nine reports in page order; the custom one is last.
inline constexpr std::size_t kReportCount = 9;
inline constexpr std::size_t kCustomReport = 8;
inline constexpr std::size_t kReportNameSize = 300;

struct ReportRow {
  std::string_view label;
  std::int32_t SiteSettings::*enabled;
  std::string SiteSettings::*name;
};
const std::array<ReportRow, kReportCount>& ReportRows();

struct SiteReportsFields {
  std::array<bool, kReportCount> enabled{};
  std::array<std::string, kReportCount> names;
  std::string custom_days;
  std::string folder;
  bool use_schedule = true;
};
SiteReportsFields FillSiteReports(const CSite& site);

// Why a name or the folder cannot be used; empty when they can. The report
// launcher takes a name as a plain file name and the folder between double
// quotes on its command line.
std::string ReportFieldsProblem(const SiteReportsFields& fields);
// Reads the page into the site: names cut at their first '.', the folder
// without trailing blanks and '/', and created.
void StoreSiteReports(const SiteReportsFields& fields, CSite& site);
// A name as it is stored: cut at its first '.', trimmed.
std::string ReportNameOf(std::string_view typed);
// The folder as it is stored: trailing blanks and '/' removed.
std::string ReportFolderOf(std::string_view typed);

// "Date-time when reports were generated:  ..." and "Status:  ...".
std::string ReportDateText(double report_date);
std::string ReportStatusText(std::string_view status);

// What "Generate reports now" leaves in the site, and the message it shows.
PageMessage RecordReportResult(CSite& site, bool ok, std::string_view error, TimeValue now);

}  // namespace tf::console
