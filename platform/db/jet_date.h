// Dates as the layer stores and reads them. A date is stored as the text
// "YYYY-MM-DD HH:MM:SS", so equality, ordering and the sqlite3 tool all work
// on it; SQL text and callers write dates the Jet way, month first
// ("1/7/2007 13:05:09", "01/07/2007", "1/7/2007 1:05 PM").
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/com/variant.h"

namespace tf::db {

struct DateParts {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "m/d/yyyy [h:nn[:ss] [AM|PM]]" (two-digit years: 00-29 are 20xx, 30-99
// 19xx), "yyyy-mm-dd [hh:nn[:ss]]", or a time alone ("h:nn[:ss]", on
// 12/30/1899). Blanks around are allowed; anything else, or a day that the
// month lacks, gives nothing.
std::optional<DateParts> ParseJetDate(std::string_view text);
// Exactly the stored form "YYYY-MM-DD HH:MM:SS".
std::optional<DateParts> ParseStoredDate(std::string_view text);
// Date text of either kind; the stored form, the common one, is tried first.
std::optional<DateParts> ParseDateText(std::string_view text);

std::string FormatStoredDate(const DateParts& parts);
com::AutomationDate ToAutomationDate(const DateParts& parts);
DateParts FromAutomationDate(com::AutomationDate value);

// Whether a declared column type holds dates (DATE, DATETIME, TIME, ...).
bool IsDateType(std::string_view declared_type);

int DaysInMonth(int year, int month);

}  // namespace tf::db
