#include "engine/store/stored_date.h"

#include <cmath>

#include "engine/common/time_value.h"
#include "platform/db/jet_date.h"

namespace tf {

std::string StoredDateText(TimeValue t) {
  // The parts "%D" prints, put straight into the stored form: printing
  // the text and reading it back cost thousands of instructions for each
  // new item. Years of fewer than four digits would read back otherwise
  // ("1/1/99" is 1999), so those, and time 0, go the long way.
  if (t != 0 && std::isfinite(t) && std::fabs(t) <= 1e15) {
    db::DateParts parts;
    SplitDate(t, parts.year, parts.month, parts.day);
    if (parts.year >= 1000 && parts.year <= 9999) {
      ClockParts clock = SplitClock(t);
      parts.hour = clock.hour;
      parts.minute = clock.minute;
      parts.second = clock.second;
      return db::FormatStoredDate(parts);
    }
  }
  std::string text = FormatTimeOrDefault(t);
  std::optional<db::DateParts> parts = db::ParseJetDate(text);
  return parts ? db::FormatStoredDate(*parts) : text;
}

}  // namespace tf
