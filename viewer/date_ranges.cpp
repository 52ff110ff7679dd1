#include "viewer/date_ranges.h"

#include <ctime>

#include "engine/common/message_box.h"
#include "viewer/viewer_texts.h"

namespace tf::viewer {

using report::AddMonths;
using report::MakeDaySerial;
using report::SplitDaySerial;
using report::Weekday;

namespace {
std::string TwoDigits(int value) { return (value < 10 ? "0" : "") + std::to_string(value); }
}  // namespace

std::string FieldText(DaySerial day) {
  int year, month, d;
  SplitDaySerial(day, year, month, d);
  return TwoDigits(month) + "/" + TwoDigits(d) + "/" + std::to_string(year);
}

std::optional<DaySerial> FieldDate(std::string_view text) { return report::ReadDateText(text); }

int DaysInMonth(DaySerial day) {
  const DaySerial next = AddMonths(day, 1);
  int year, month, d;
  SplitDaySerial(next, year, month, d);
  SplitDaySerial(next - d, year, month, d);
  return d;
}

std::optional<DayRange> QuickRange(int position, DaySerial today, const LogLabels& logs) {
  int year, month, d;
  SplitDaySerial(today, year, month, d);
  const int w = Weekday(today);
  const DaySerial first_of_month = today - d + 1;
  switch (position) {
    case 1: return DayRange{today, today};
    case 2: return DayRange{today - 1, today - 1};
    case 3: return DayRange{today - w, today - w + 6};
    case 4: return DayRange{today - w - 7, today - w - 1};
    case 5: return DayRange{first_of_month, today + (DaysInMonth(today) - d)};
    // The whole of last month: its first day to the day before this
    // month's first, whatever the lengths of the two months.
    case 6: return DayRange{AddMonths(first_of_month, -1), first_of_month - 1};
    case 7: return DayRange{today - 7, today};
    case 8: return DayRange{today - 14, today};
    case 9: return DayRange{today - 30, today};
    case 10: return DayRange{MakeDaySerial(year, 1, 1), today};
    case 11: return DayRange{MakeDaySerial(year - 1, 1, 1), MakeDaySerial(year - 1, 12, 31)};
    case 12: return DayRange{FieldDate(logs.from).value_or(0), FieldDate(logs.to).value_or(0)};
    default: return std::nullopt;
  }
}

RequestCheck CheckReportRequest(const std::string& project_name, const LogLabels& logs,
                                DateFields& fields) {
  RequestCheck check;
  if (logs.from.empty() || logs.to.empty()) {
    ShowMessageBox("The project '" + project_name +
                       "' doesn't have any processed information. Please run the initial "
                       "'analyze' scan through the 'Project Editor'",
                   kNoInformationCaption, kMbOk | kMbIconInformation);
    check.flash = {Attention::kAddEditProjects};
    return check;
  }
  if (fields.from.empty() && fields.to.empty()) {
    ShowMessageBox(kMissingRangeText, kMissingRangeCaption, kMbOk | kMbIconInformation);
    check.flash = {Attention::kDateFrom, Attention::kDateTo};
    return check;
  }
  if (fields.to.empty()) {
    if (ShowMessageBox(kMissingEndText, kMissingEndCaption, kMbYesNo | kMbIconQuestion) != kIdYes) {
      check.flash = {Attention::kDateTo};
      check.focus_end_date = true;
      return check;
    }
    fields.to = fields.from;
  }
  for (const std::string* text : {&fields.from, &fields.to}) {
    if (FieldDate(*text)) continue;
    ShowMessageBox("The date you entered '" + *text + "' is not valid. The format required is "
                   "mm/dd/yyyy",
                   kDateErrorCaption, kMbOk);
    return check;
  }
  if (*FieldDate(fields.to) < *FieldDate(fields.from)) std::swap(fields.from, fields.to);
  check.ok = true;
  return check;
}

DaySerial Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return MakeDaySerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

}  // namespace tf::viewer
