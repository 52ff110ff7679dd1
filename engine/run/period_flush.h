// The writes of a run's hourly and daily statistics: at each hour and day
// change, and for the last hour and day when the run ends. Rows are written
// only for the items on the changed lists, never by scanning all items,
// each list's rows in one transaction.
#pragma once

#include "engine/common/time_value.h"

namespace tf {

class CSite;

// The hour being counted: sessions idle at session_time (all with force),
// visitors, items and site totals; then the hour's totals start from 0.
void FlushHourStatistics(CSite& site, TimeValue session_time, bool force);
// The day being counted, the same way, then the site's settings are stored
// (so every day boundary saves the run statistics). Nothing before the
// first day.
void FlushDayStatistics(CSite& site, TimeValue flush_time, bool force);

void WriteHourSiteStatistics(CSite& site);
void WriteDaySiteStatistics(CSite& site);
void FlushHourTextItems(CSite& site);
void FlushDayTextItems(CSite& site);
// The region items counted since the last write, to the day being counted.
void FlushRegions(CSite& site);
// Writes every target-hit group to the day being counted and empties the
// table.
void WriteDailyTargets(CSite& site);
// tblData.LastHit of every item whose last hit moved.
void FlushItemDates(CSite& site);

}  // namespace tf
