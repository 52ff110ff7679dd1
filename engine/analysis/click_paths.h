// Click paths: the steps from one page to the next within the sessions of
// a day, written to tblPaths at each day change.
//
// The run calls these at its start, at each day change and at its end; the
// counting itself comes with the click-path statistics, until then they do
// nothing.
#pragma once

namespace tf {

class CSite;

// The empty path table of a run.
void InitPathTable(CSite& site);
// Writes the day's steps.
void PathFlushDay(CSite& site);
// Forgets every step (end of a run).
void ReleasePaths(CSite& site);

}  // namespace tf
