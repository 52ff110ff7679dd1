#include "engine/reports/report_launcher.h"

#include <cmath>
#include <cstdio>
#include <mutex>

#include "engine/common/registry_values.h"
#include "engine/common/text.h"
#include "engine/store/database.h"
#include "interfaces/tfreport_class.h"
#include "platform/com/create.h"

namespace tf {
namespace {

// One report generation at a time in the process.
std::mutex report_lock;

TimeValue DaysBefore(TimeValue yesterday, int days) {
  // From 00:00:01 of the day `days` before today.
  return yesterday - days * kSecondsPerDay + 2;
}

// The text of a LoadProject result that is not 1.
std::string ResultText(std::int32_t result, com::HRESULT hr) {
  switch (result) {
    case -1: return "An error occurred in TFReportCOM.dll";
    case -2: return "There is no information in the log files";
    case -10: return "Missing the /d parameter which specifies the output directory";
    case -11: return "Missing the /p parameter which specifies the project name";
    case -12: return "Missing the /s parameter which specifies the date range";
    case -13: return "The project does not exist";
    case -2250: return "The report folder is invalid or could not be created";
    default: {
      char text[96];
      std::snprintf(text, sizeof text, "TFreportCOM returned error code %d; (hr=%d)", result, hr);
      return text;
    }
  }
}

}  // namespace

std::vector<ScheduledReport> ScheduledReports(const SiteSettings& s, TimeValue now) {
  const TimeValue today = StartOfDay(now);
  const TimeValue yesterday = today - 1;
  const TimeValue yesterday_start = StartOfDay(yesterday);
  int year, month, day;
  SplitDate(yesterday, year, month, day);
  // Day 0 of the time scale is a Sunday.
  const double day_number = std::floor((yesterday_start + 0.4) / kSecondsPerDay);
  const TimeValue week_start =
      yesterday_start - std::fmod(day_number, 7.0) * kSecondsPerDay;

  const struct {
    std::int32_t enabled;
    const std::string& name;
    TimeValue first;
    TimeValue last;
  } ranges[] = {
      {s.RptYesterday, s.RptNameYesterday, yesterday_start, yesterday_start + kSecondsPerDay - 0.5},
      {s.RptCurWeek, s.RptNameCurWeek, week_start, yesterday},
      {s.RptCurMonth, s.RptNameCurMonth, ComposeDate(year, month, 1), yesterday},
      {s.RptCurYear, s.RptNameCurYear, ComposeDate(year, 1, 1), yesterday},
      {s.Rpt7days, s.RptName7days, DaysBefore(yesterday, 7), yesterday},
      {s.Rpt30days, s.RptName30days, DaysBefore(yesterday, 30), yesterday},
      {s.Rpt90days, s.RptName90days, DaysBefore(yesterday, 90), yesterday},
      {s.Rpt365days, s.RptName365days, ComposeDate(year - 1, month, day), yesterday},
      {s.RptCustomdays, s.RptNameCustomdays, DaysBefore(yesterday, s.RptCustomdaysValue),
       yesterday},
  };
  std::vector<ScheduledReport> reports;
  for (const auto& range : ranges) {
    if (range.enabled != 0) reports.push_back({range.name, range.first, range.last});
  }
  return reports;
}

std::string ReportCommandLine(std::string_view project, std::string_view folder,
                              std::string_view name, TimeValue first, TimeValue last) {
  std::string line = "/p \"";
  line.append(project);
  line += "\" /d \"";
  line.append(folder);
  line += "\" /r \"";
  line.append(name);
  line += "\" /s " + FormatTime("%G", first) + "-" + FormatTime("%G", last);
  return line;
}

bool GenerateOneReport(CSite& site, report::ITFReportClass* report, TimeValue first,
                       TimeValue last, std::string_view name, std::string& result_text,
                       std::size_t size) {
  if (name.empty()) {
    SafeCopy(result_text, "No name was specified for report", size);
    return false;
  }
  // A double quote would end its quoted value early and the rest would read
  // as further switches: another site's report, or one sent somewhere else.
  auto has_quote = [](std::string_view value) { return value.find('"') != value.npos; };
  if (has_quote(site.ProjectName)) {
    SafeCopy(result_text, ResultText(-13, com::S_OK), size);
    return false;
  }
  if (has_quote(site.settings.RepDirectory) || has_quote(name)) {
    SafeCopy(result_text, ResultText(-2250, com::S_OK), size);
    return false;
  }
  com::Variant argument;
  MakeVariantString(argument, ReportCommandLine(site.ProjectName, site.settings.RepDirectory,
                                                name, first, last));
  com::Variant result;
  com::HRESULT hr = report->LoadProject(&argument, &result);
  // The generator answers with a 16-bit integer, or a 32-bit one for the
  // code of a failed step.
  std::int32_t value = 0;
  if (!GetVariantLong(result, value)) value = 0;
  if (hr == com::S_OK && value == 1) return true;
  SafeCopy(result_text, ResultText(value, hr), size);
  return false;
}

namespace {

// Creates the report generator, registering its library from the install
// folder once when its class is not registered. False with the failure's
// text when there is no usable object.
bool CreateReportGenerator(com::ComPtr<report::ITFReportClass>& report, std::string& result_text,
                           std::size_t size) {
  com::HRESULT hr = com::CoCreateInstance(report::kTFReportClassClsid, &report);
  if (hr == com::REGDB_E_CLASSNOTREG) {
    std::string library = InstallFolderPath(report::kTFReportLibrary);
    if (com::RegisterComDll(library, true) != 1 ||
        com::Failed(hr = com::CoCreateInstance(report::kTFReportClassClsid, &report))) {
      SafeCopy(result_text, "TFReportCOM.dll is not registered", size);
      return false;
    }
  }
  if (hr == com::CLASS_E_CLASSNOTAVAILABLE) {
    SafeCopy(result_text, "The wrong version of TFReportCOM.dll is installed", size);
    return false;
  }
  if (com::Failed(hr) || !report) {
    SafeCopy(result_text, "Unable to connect to the TFReportCOM.dll COM object", size);
    return false;
  }
  return true;
}

// What every launch shares: a report folder, the report lock, one generator
// object for all of its reports, released before the lock is left.
template <typename MakeReports>
bool LaunchReports(CSite& site, std::string& result_text, std::size_t size,
                   MakeReports make_reports) {
  if (site.settings.RepDirectory.empty()) {
    SafeCopy(result_text, "No directory was specified for reports", size);
    return false;
  }
  std::lock_guard<std::mutex> lock(report_lock);
  result_text.clear();
  com::ComPtr<report::ITFReportClass> report;
  if (!CreateReportGenerator(report, result_text, size)) return false;
  return make_reports(report.get());
}

}  // namespace

bool GenerateReports(CSite& site, std::string& result_text, std::size_t size) {
  return LaunchReports(site, result_text, size, [&](report::ITFReportClass* report) {
    bool all_made = true;
    for (const ScheduledReport& range : ScheduledReports(site.settings, NowLocalSeconds())) {
      if (!GenerateOneReport(site, report, range.first, range.last, range.name, result_text,
                             size)) {
        all_made = false;
      }
    }
    return all_made;
  });
}

bool GenerateRangeReport(CSite& site, TimeValue first, TimeValue last, std::string_view name,
                         std::string& result_text, std::size_t size) {
  return LaunchReports(site, result_text, size, [&](report::ITFReportClass* report) {
    return GenerateOneReport(site, report, first, last, name, result_text, size);
  });
}

}  // namespace tf
