// The steps that fix a run's dates and file names: the days the site has
// data for, the range the report covers and the names of its files.
#include <cmath>

#include "report/regional_format.h"
#include "report/report_builder.h"

namespace tf::report {
namespace {

// A day column's value as an automation date.
double DateOf(const com::Variant& value) {
  if (value.base_type() == com::VT_DATE) return value.date();
  std::optional<DaySerial> day = ReadDateText(value.ToString());
  if (!day) throw ReportError("'" + value.ToString() + "' is not a date");
  return static_cast<double>(*day);
}

std::string TwoDigits(int value) { return (value < 10 ? "0" : "") + std::to_string(value); }

}  // namespace

std::int16_t ReportBuilder::GetLogDateRange() {
  Enter(-2260);
  OpenSiteDatabase();
  db::Recordset& rs = OpenDynaset(
      // Each in a query of its own: that is one seek of the key, where both
      // in one query read the whole table.
      "select (select max(entrydate) from tblday) as max_entrydate, "
      "(select min(entrydate) from tblday) as min_entrydate");
  rs.MoveFirst();
  const bool has_days = !rs.Field("min_entrydate").is_null();
  // Without days both dates keep the values of the previous site.
  if (has_days) {
    FirstDataDate = DateOf(rs.Field("min_entrydate"));
    LastDataDate = DateOf(rs.Field("max_entrydate"));
  }
  CurrentRecordset.Close();
  CurrentDatabase.reset();
  if (!has_days) return -1;
  Leave(-2265);
  return 1;
}

void ReportBuilder::GetBaseFileName() {
  Enter(-2070);
  if (variant_.numbered_file_names && ReportName.empty()) {
    // Every run of the viewer gets names of its own: its number and day.
    int year, month, day;
    SplitDaySerial(RunDay, year, month, day);
    ChartFilePrefix = std::to_string(RunNumber) + "-" + TwoDigits(day) + TwoDigits(month) +
                      std::to_string(year) + "-1-";
  } else {
    ChartFilePrefix = ReportName + "-";
  }
  ReportFileName = ChartFilePrefix.substr(0, ChartFilePrefix.size() - 1) + ".html";
  Leave(-2075);
}

void ReportBuilder::ProcessDateRange() {
  Enter(-2040);
  std::optional<DaySerial> from = ReadDateText(RangeFromText);
  std::optional<DaySerial> to = ReadDateText(RangeToText);
  if (!RangeFromText.empty() && !RangeToText.empty() && from && to) {
    DayCount = static_cast<std::int32_t>(*to - *from + 1);
    FromDate = RangeFromText;
    ToDate = RangeToText;
  } else {
    // The last 30 days of data: 31 calendar days, counted as 30.
    DaySerial last = static_cast<DaySerial>(std::floor(LastDataDate));
    DayCount = 30;
    FromDate = ShortDate(last - 30);
    ToDate = ShortDate(last);
  }
  Leave(-2045);
}

}  // namespace tf::report
