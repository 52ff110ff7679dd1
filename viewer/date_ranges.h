// The viewer's dates: the texts of its two date fields ("mm/dd/yyyy", but
// any text the user typed, also empty or invalid), the quick ranges that
// fill them from today's date, and the check before every report.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/regional_format.h"

namespace tf::viewer {

using report::DaySerial;

// "05/19/2004".
std::string FieldText(DaySerial day);
// The day of a field's or label's text; nothing when it is not a date.
std::optional<DaySerial> FieldDate(std::string_view text);

// The two date fields of the "Report Range".
struct DateFields {
  std::string from, to;
};

// The days with data of the selected project ("Log Files Available"),
// empty when it has none.
struct LogLabels {
  std::string from, to;
};

// The last day of the month of `day`.
int DaysInMonth(DaySerial day);

inline constexpr std::array<const char*, 13> kQuickRanges = {
    "Select Quick Range", "Today",        "Yesterday",    "This Week",    "Last Week",
    "This Month",         "Last Month",   "Last 7 Days",  "Last 14 Days", "Last 30 Days",
    "This Year",          "Last Year",    "Load All"};

struct DayRange {
  DaySerial from = 0, to = 0;
  bool operator==(const DayRange&) const = default;
};

// The range of the quick-range entry at `position` on `today`; nothing for
// position 0 (and any position outside the list). "Load All" takes the
// log labels; a label that holds no date gives day 0 for its bound.
std::optional<DayRange> QuickRange(int position, DaySerial today, const LogLabels& logs);

// Controls that a refused request points the user at.
enum class Attention { kAddEditProjects, kDateFrom, kDateTo, kRangeLabels, kGenerateAnalysis };

struct RequestCheck {
  bool ok = false;
  std::vector<Attention> flash;
  bool focus_end_date = false;
};

// The check before a report: shows its messages (and the question on a
// missing end date) through ShowMessageBox. May fill in or exchange the
// dates in `fields`.
RequestCheck CheckReportRequest(const std::string& project_name, const LogLabels& logs,
                                DateFields& fields);

// Today as a day serial, from the local clock.
DaySerial Today();

}  // namespace tf::viewer
