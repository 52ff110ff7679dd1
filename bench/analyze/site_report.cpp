#include "bench/analyze/site_report.h"

#include "engine/common/time_value.h"
#include "engine/reports/report_launcher.h"
#include "engine/store/field_values.h"
#include "interfaces/iloom_chart.h"
#include "interfaces/itf_com.h"
#include "platform/com/create.h"
#include "platform/db/recordset.h"

namespace tf::bench {
namespace {

// The site's first or last day with statistics; 0 when it has none.
TimeValue AnalysedDay(CSite& site, const char* order) {
  if (!site.OpenSiteDatabase()) return 0;
  TimeValue day = 0;
  try {
    db::Recordset rs = site.connection()->OpenRecordset(
        std::string("SELECT TOP 1 EntryDate FROM tblDay ORDER BY EntryDate ") + order);
    if (!rs.IsEof()) day = DateFieldValue(rs.Field("EntryDate"));
  } catch (const std::exception&) {
    day = 0;  // no statistics table: the generator says so
  }
  site.CloseSiteDatabase();
  return day;
}

// "5/1/2025–5/3/2025"
std::string RangeText(TimeValue first, TimeValue last) {
  auto date = [](TimeValue t) {
    int year = 0, month = 0, day = 0;
    SplitDate(t, year, month, day);
    return std::to_string(month) + "/" + std::to_string(day) + "/" + std::to_string(year);
  };
  return date(first) + "\u2013" + date(last);
}

}  // namespace

void RegisterReportComponents(const std::string& home) {
  const struct {
    const char* prog_id;
    const char* library;
  } components[] = {
      {support::kTFcomProgId, "TFsupport.so"},
      {chart::kLoomChartProgId, "Pictoloom.so"},
  };
  for (const auto& component : components) {
    com::CLSID clsid;
    if (com::Failed(com::CLSIDFromProgID(component.prog_id, &clsid))) {
      com::RegisterComDll(home + "/" + component.library, true);
    }
  }
}

bool WriteSiteReport(CSite& site, const std::string& folder, std::string& page,
                     std::string& failure) {
  site.settings.RepDirectory = folder;
  TimeValue first = AnalysedDay(site, "ASC");
  TimeValue last = AnalysedDay(site, "DESC");
  bool has_days = first != 0 && last != 0;
  if (!has_days) first = last = NowLocalSeconds();
  if (!GenerateRangeReport(site, first, last, kSiteReportName, failure, CSite::kStatusSize)) {
    // The engine's text alone does not say which range or folder it means.
    std::string range = RangeText(first, last);
    failure = (has_days ? "the report of " + range + " in " + folder
                        : "no hits in the range " + range) +
              ": " + failure;
    return false;
  }
  page = folder + "/" + kSiteReportName + ".html";
  return true;
}

}  // namespace tf::bench

// The chart library's fonts come from fontconfig, which keeps its data for
// the life of the process; the leak checker of sanitizer builds is told so.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
