#include "engine/store/stored_date.h"

#include <gtest/gtest.h>

#include <optional>

#include "engine/common/time_value.h"
#include "platform/db/jet_date.h"

namespace tf {
namespace {

// The stored form as the "%D" text read back gives it: what the direct
// split must match, second for second.
std::string ByText(TimeValue t) {
  std::string text = FormatTimeOrDefault(t);
  std::optional<db::DateParts> parts = db::ParseJetDate(text);
  return parts ? db::FormatStoredDate(*parts) : text;
}

TEST(StoredDateTest, MatchesTheFormattedTextReadBack) {
  const TimeValue y2000 = ComposeTime(2000, 1, 1, 0, 0, 0);
  const TimeValue cases[] = {
      0, 1, -kSecondsPerDay,
      y2000, y2000 - 0.6, y2000 - 0.4,  // the printed second is rounded
      ComposeTime(2000, 2, 29, 23, 59, 59),
      ComposeTime(99, 1, 1, 12, 0, 0), ComposeTime(999, 12, 31, 0, 0, 0),  // years that read back otherwise
      ComposeTime(1000, 1, 1, 0, 0, 0), ComposeTime(9999, 12, 31, 23, 59, 59),
      ComposeTime(9999, 12, 31, 23, 59, 59) + 1,  // a year of five digits
  };
  for (TimeValue t : cases) EXPECT_EQ(StoredDateText(t), ByText(t)) << t;
  // Every 7,919 seconds over fifty years: every hour, minute and day of a
  // month, leap years and the turn of the century.
  for (TimeValue t = ComposeTime(1990, 1, 1, 0, 0, 0); t < ComposeTime(2040, 1, 1, 0, 0, 0); t += 7919) {
    ASSERT_EQ(StoredDateText(t), ByText(t)) << t;
  }
  EXPECT_EQ(StoredDateText(ComposeTime(2000, 2, 29, 1, 2, 5)), "2000-02-29 01:02:05");
  EXPECT_EQ(StoredDateText(y2000 - 0.4), "2000-01-01 00:00:00");
  EXPECT_EQ(StoredDateText(0), "1900-01-01 00:00:00");
}

}  // namespace
}  // namespace tf
