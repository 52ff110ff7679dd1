// Visitors: one entry per client address seen in a run, with its hourly
// and daily counts, written to tblVisitors at each day change and handed
// to the translation threads for their domain names.
//
// Every change and walk of the table holds the site's statistics lock;
// only the analysis thread changes it.
#pragma once

#include <cstdint>
#include <string_view>

namespace tf {

class CSite;
struct CVisitor;
struct VisitorDayRow;

// The empty visitor table of a run.
void InitVisitorTable(CSite& site);
// The visitor of the address, made when the run has none yet. The client
// name is kept for a stand-in address.
CVisitor* FindVisitor(CSite& site, std::uint32_t address, std::string_view client_name);
// Adds hits of the current hour to the visitor.
void AddHourHits(CSite& site, CVisitor& visitor, std::int32_t hits);
// The visitors of the hour into the site's hourly visitor count.
void CountVisitsHour(CSite& site);
// The day's visitor rows, and the name translations of their addresses.
void WriteVisitorIP(CSite& site);
// The visitors of the day into the site's daily visitor count.
void CountVisitsDay(CSite& site);
// Forgets the visitors without an open session or hits, and starts a new
// day for the others.
void PurgeInactiveVisitors(CSite& site);
// Forgets every visitor (end of a run), and any session still open.
void ReleaseAll(CSite& site);

// Once per visitor while it stays in the table: whether it is new to
// tblVisitors or returning. The answer only counts in the day's totals, and
// the day's rows are written only after it, so the visitors wait for one
// query per batch at the day change (CountReturningVisitors), which runs in
// turn with the day's rows on the run's writer when it has one.
void CheckReturningVisitor(CSite& site, CVisitor& visitor);
// Counts the waiting visitors into the day's new and returning visitors
// (site.run.day_visitors), after the rows posted before; the day's totals
// read them in turn. A visitor whose test fails counts as new; the error
// becomes the site's error text.
void CountReturningVisitors(CSite& site);
// The visitor's day as a tblVisitors row.
VisitorDayRow DayRowOf(const CVisitor& visitor);

// Day hits + 2 x day sessions + day view time in whole minutes: what
// chooses the top visitors of a day.
std::int64_t SessionScore(const CVisitor& visitor);
// -1 when x scores higher, 1 when lower, so the highest come first.
int CompareVisitorScore(const CVisitor* x, const CVisitor* y, void* context);

}  // namespace tf
