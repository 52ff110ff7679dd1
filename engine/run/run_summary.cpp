#include "engine/run/run_summary.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "engine/common/display.h"
#include "engine/common/shared_figure.h"
#include "engine/site/site.h"

namespace tf {

namespace {

std::string Count(std::int64_t value) { return FormatThousands(value, 1, 15); }

// printf into a string; the summary's lines are short.
template <typename... Args>
std::string Line(const char* format, Args... args) {
  char buffer[200];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

// The whole number of value / days, or 0 without a positive period.
std::int64_t PerDay(double value, double days) {
  return days > 0 ? static_cast<std::int64_t>(value / days) : 0;
}

}  // namespace

void WriteRunSummary(CSite& site) {
  RunHistory& h = site.history;
  auto Trace = [&site](std::string_view text) { site.Trace(text); };
  WriteFigure(h.stEndTime, NowLocalSeconds());
  double run_seconds = h.stEndTime - h.stStartTime;
  double period = h.stEndRecord - h.stStartRecord;
  double days = period / kSecondsPerDay;
  auto whole = [](double seconds) { return static_cast<std::int64_t>(seconds); };
  std::int64_t run = whole(run_seconds);
  std::int64_t log = whole(period);
  std::int64_t hits = static_cast<std::int64_t>(h.stPageHits) + h.stImageHits + h.stFormHits +
                      h.stDocumentHits + h.stProgramHits + h.stOtherHits;

  Trace("");
  Trace(" ---  Statistics for " + site.ProjectName + "  ---");
  Trace("Analysis run start: " + FormatDateOrEmpty(h.stStartTime));
  Trace("Analysis run end: " + FormatDateOrEmpty(h.stEndTime));
  Trace(Line("Analysis run time: %d:%02d:%02d", static_cast<int>(run / 3600),
             static_cast<int>(run / 60 % 60), static_cast<int>(run % 60)));
  Trace(Line("Analysis run seconds per log day: %.1lf", days > 0 ? run_seconds / days : 0.0));
  Trace("First record processed: " + FormatDateOrEmpty(h.stStartRecord));
  Trace("Last Record processed: " + FormatDateOrEmpty(h.stEndRecord));
  Trace(Line("Log file period: %d days %d:%02d:%02d", static_cast<int>(log / 86400),
             static_cast<int>(log / 3600 % 24), static_cast<int>(log / 60 % 60),
             static_cast<int>(log % 60)));
  Trace("Total log records processed: " + Count(h.stTotalRecords));
  Trace("Log records previously processed: " + Count(h.stOldRecords));
  Trace("Log records rejected by Include filter: " + Count(h.stRejectInclude));
  Trace("Log records rejected by Exclude filter: " + Count(h.stRejectExclude));
  Trace(Line("Total bytes transferred: %.1lf MB", h.stDataTransfer / 1048576));
  Trace(Line("Average transfer per day: %.1lf MB",
             days > 0 ? h.stDataTransfer / (days * 1024000) : 0.0));
  Trace("Visitors: " + Count(h.stVisitors));
  Trace("Average visitors per day: " + Count(PerDay(h.stVisitors, days)));
  Trace("Sessions: " + Count(h.stSessions));
  Trace("Average sessions per day: " + Count(PerDay(h.stSessions, days)));
  Trace("Sessions restored at start of run: " + Count(h.stRestoredSessions));
  Trace("Sessions saved at end of run: " + Count(h.stSavedSessions));
  Trace("Web page hits: " + Count(h.stPageHits));
  Trace("Image page hits: " + Count(h.stImageHits));
  Trace("Form page hits: " + Count(h.stFormHits));
  Trace("Document page hits: " + Count(h.stDocumentHits));
  Trace("Program page hits: " + Count(h.stProgramHits));
  Trace("Other page hits: " + Count(h.stOtherHits));
  Trace("Total page hits: " + Count(hits));
  Trace("Average hits per day: " + Count(PerDay(static_cast<double>(hits), days)));
  Trace(Line("Hits in domain name cache: %d%%",
             h.stDomainCacheTries > 0
                 ? static_cast<int>(static_cast<std::int64_t>(h.stDomainCacheHits) * 100 /
                                    h.stDomainCacheTries)
                 : 0));
  // Last, so that the lines above keep their places for whoever reads them.
  Trace("Log lines not read: " + Count(h.stUnreadLines));
  Trace("Log fields not read (taken as 0): " + Count(h.stUnreadFields));
}

}  // namespace tf
