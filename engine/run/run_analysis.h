// RunAnalysis: one complete analysis of one site. It prepares the site's
// event log and database, optionally downloads new log files, reads every
// new record of the site's logs in time order into the site's statistics,
// writes the hours and days as the records cross them, saves the open
// sessions, writes the last hour and day, the run summary and the scheduled
// reports.
//
// The caller marks the site running (state 2) before and idle after; a stop
// request (state 3) ends the record loop after the current record, and the
// run still writes its final statistics, summary and reports. Another
// program running the same site makes the run end at once.
#pragma once

#include <functional>
#include <string_view>

namespace tf {

class CSite;

// Receives every progress text of the run's FTP download, after the site's
// status and event log have it (the service forwards them to its clients).
// A stop is asked for through the site's state, as for any run.
using RunProgressCallback = std::function<void(std::string_view text)>;

// 0 when the site is in use by another program or its database cannot be
// opened, else 1.
int RunAnalysis(CSite& site, const RunProgressCallback& progress = {});

// The FTP download's message and stop test: shows and logs the text; true
// while the site is running, else it says that a stop was requested.
bool IsStopRequested(std::string_view text, int ignored, void* site);

}  // namespace tf
