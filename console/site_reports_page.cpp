#include "console/site_reports_page.h"

#include "engine/common/files.h"
#include "engine/site/site.h"

namespace tf::console {

namespace {
constexpr std::size_t kStatusKept = 100;
}

const std::array<ReportRow, kReportCount>& ReportRows() {
  static const std::array<ReportRow, kReportCount> rows{{
      {"Yesterday", &SiteSettings::RptYesterday, &SiteSettings::RptNameYesterday},
      {"Current week", &SiteSettings::RptCurWeek, &SiteSettings::RptNameCurWeek},
      {"Current month", &SiteSettings::RptCurMonth, &SiteSettings::RptNameCurMonth},
      {"Current year", &SiteSettings::RptCurYear, &SiteSettings::RptNameCurYear},
      {"Last 7 days", &SiteSettings::Rpt7days, &SiteSettings::RptName7days},
      {"Last 30 days", &SiteSettings::Rpt30days, &SiteSettings::RptName30days},
      {"Last 90 days", &SiteSettings::Rpt90days, &SiteSettings::RptName90days},
      {"Last 365 days", &SiteSettings::Rpt365days, &SiteSettings::RptName365days},
      {"Last", &SiteSettings::RptCustomdays, &SiteSettings::RptNameCustomdays},
  }};
  return rows;
}

SiteReportsFields FillSiteReports(const CSite& site) {
  const SiteSettings& s = site.settings;
  SiteReportsFields f;
  for (std::size_t i = 0; i < kReportCount; ++i) {
    f.enabled[i] = s.*(ReportRows()[i].enabled) != 0;
    f.names[i] = s.*(ReportRows()[i].name);
  }
  f.custom_days = std::to_string(s.RptCustomdaysValue);
  f.folder = s.RepDirectory;
  f.use_schedule = s.RptUseSchedule != 0;
  return f;
}

std::string ReportNameOf(std::string_view typed) {
  std::string name = CutField(typed, kReportNameSize);
  std::size_t dot = name.find('.');
  if (dot != std::string::npos) name.resize(dot);
  return TrimmedField(name, kReportNameSize);
}

std::string ReportFolderOf(std::string_view typed) {
  std::string folder = CutField(typed, kReportNameSize);
  while (!folder.empty() && (static_cast<unsigned char>(folder.back()) <= ' ' ||
                             (folder.back() == '/' && folder.size() > 1))) {
    folder.pop_back();
  }
  return folder;
}

std::string ReportFieldsProblem(const SiteReportsFields& fields) {
  if (ReportFolderOf(fields.folder).find('"') != std::string::npos) {
    return "The report folder cannot contain a double quote (\").";
  }
  for (std::size_t i = 0; i < kReportCount; ++i) {
    std::string name = ReportNameOf(fields.names[i]);
    if (name.find_first_of("/\"") != std::string::npos) {
      return "The report name \"" + name +
             "\" must be a plain file name, without '/' or double quotes.";
    }
    if (fields.enabled[i] && name.empty()) {
      return "The report \"" + std::string(ReportRows()[i].label) + "\" needs a name.";
    }
  }
  return {};
}

void StoreSiteReports(const SiteReportsFields& f, CSite& site) {
  SiteSettings& s = site.settings;
  for (std::size_t i = 0; i < kReportCount; ++i) {
    s.*(ReportRows()[i].enabled) = f.enabled[i] ? 1 : 0;
    s.*(ReportRows()[i].name) = ReportNameOf(f.names[i]);
  }
  s.RepDirectory = ReportFolderOf(f.folder);
  if (!s.RepDirectory.empty()) CreateDirectoryChain(s.RepDirectory);
  s.RptCustomdaysValue = ReadDecimal(f.custom_days);
  s.RptUseSchedule = f.use_schedule ? 1 : 0;
}

std::string ReportDateText(double report_date) {
  std::string when = report_date == 0 ? "(never)" : FormatTime("%L", report_date);
  return "Date-time when reports were generated:  " + when;
}

std::string ReportStatusText(std::string_view status) {
  return "Status:  " + std::string(status);
}

PageMessage RecordReportResult(CSite& site, bool ok, std::string_view error, TimeValue now) {
  site.history.RptDate = now;
  if (ok) {
    site.history.RptStatus = "Successfully generated.";
    return {"The reports were generated", "Success", MessageIcon::kNone, MessageButtons::kOk};
  }
  site.history.RptStatus = CutField(error, kStatusKept + 1);
  return {std::string(error), "Error generating reports", MessageIcon::kError,
          MessageButtons::kOk};
}

}  // namespace tf::console
