// Visitors: one entry per client address seen in a run, with its hourly
// and daily counts, written to tblVisitors at each day change.
//
// The run calls these at the hour and day changes; the counting itself
// comes with the visitor statistics, until then they do nothing.
#pragma once

namespace tf {

class CSite;

// The empty visitor table of a run.
void InitVisitorTable(CSite& site);
// The visitors of the hour into the site's hourly visitor count.
void CountVisitsHour(CSite& site);
// The day's visitor rows, and the name translations of their addresses.
void WriteVisitorIP(CSite& site);
// The visitors of the day into the site's daily visitor count.
void CountVisitsDay(CSite& site);
// Forgets the visitors without an open session or hits, and starts a new
// day for the others.
void PurgeInactiveVisitors(CSite& site);
// Forgets every visitor (end of a run).
void ReleaseAll(CSite& site);

}  // namespace tf
