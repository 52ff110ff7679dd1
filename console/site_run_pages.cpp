#include "console/site_run_pages.h"

#include <cstdio>

#include "console/status_panel.h"
#include "engine/common/display.h"
#include "engine/common/shared_figure.h"
#include "engine/site/site.h"

namespace tf::console {

namespace {

std::string Printed(const char* format, auto... values) {
  char text[96];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

std::string Thousands(double value) {
  return FormatThousands(static_cast<std::int64_t>(value), 0, 0);
}

// At least a hundredth of a second, so that the averages stay finite.
double PositiveSpan(double seconds) { return seconds > 0 ? seconds : 0.01; }

}  // namespace

SiteDatesTexts FillSiteDates(const CSite& site) {
  const RunHistory& h = site.history;
  return {FormatDateOrEmpty(ReadFigure(h.LastScanDate)),
          FormatDateOrEmpty(ReadFigure(h.LastFileDate)),
          FormatDateOrEmpty(ReadFigure(h.LastRecordDate))};
}

PageMessage ConfirmResetMessage() {
  return {"Reset all stored statistics for this site?", "Confirm reset", MessageIcon::kQuestion,
          MessageButtons::kOkCancel};
}

std::optional<PageMessage> ResetRefusal(const CSite& site) {
  std::int32_t state = site.state.load();
  if (state != kSiteRunning && state != kSiteStopping) return std::nullopt;
  return PageMessage{"Cannot reset site -- an analysis of this site is being run now.",
                     "Cannot reset site", MessageIcon::kError, MessageButtons::kOk};
}

std::vector<LabelledFigure> LastRunFigures(const CSite& site, TimeValue now) {
  const RunHistory& h = site.history;
  bool running = site.state.load() != kSiteIdle;
  double run = PositiveSpan((running ? now : h.stEndTime) - h.stStartTime);
  double period = PositiveSpan(h.stEndRecord - h.stStartRecord);
  double days = period / 86400;
  auto whole = [](double value) { return static_cast<long long>(value); };
  double hits = double(h.stPageHits) + h.stImageHits + h.stFormHits + h.stDocumentHits +
                h.stProgramHits + h.stOtherHits;
  int cache = h.stDomainCacheTries < 1
                  ? 0
                  : static_cast<int>(static_cast<std::int64_t>(h.stDomainCacheHits) * 100 /
                                     h.stDomainCacheTries);
  return {
      {"Analysis run start:", FormatDateOrEmpty(h.stStartTime)},
      {"Analysis run end:", FormatDateOrEmpty(h.stEndTime)},
      {"Analysis run time:", FormatRunTime(run)},
      {"Run seconds per log day:", period >= 1 ? Printed("%.1f", run / days) : std::string()},
      {"First log record date:", FormatDateOrEmpty(h.stStartRecord)},
      {"Last log record date:", FormatDateOrEmpty(h.stEndRecord)},
      {"Log file period:",
       Printed("%lld days %lld:%02lld:%02lld", whole(period / 86400), whole(period / 3600) % 24,
               whole(period / 60) % 60, whole(period) % 60)},
      {"Log records processed:", Thousands(h.stTotalRecords)},
      {"Old log records skipped:", Thousands(h.stOldRecords)},
      {"Bytes sent from server:", Printed("%.1f MB", h.stDataTransfer / 1048576)},
      {"Average bytes/day:", Printed("%.1f MB", h.stDataTransfer / (days * 1024000))},
      {"Visitors:", Thousands(h.stVisitors)},
      {"Average visitors/day:", Thousands(h.stVisitors / days)},
      {"Sessions:", Thousands(h.stSessions)},
      {"Average sessions/day:", Thousands(h.stSessions / days)},
      {"Sessions restored:", Thousands(h.stRestoredSessions)},
      {"Sessions saved:", Thousands(h.stSavedSessions)},
      {"Web page hits:", Thousands(h.stPageHits)},
      {"Image page hits:", Thousands(h.stImageHits)},
      {"Form page hits:", Thousands(h.stFormHits)},
      {"Document page hits:", Thousands(h.stDocumentHits)},
      {"Program page hits:", Thousands(h.stProgramHits)},
      {"Other page hits:", Thousands(h.stOtherHits)},
      {"Total page hits:", Thousands(hits)},
      {"Average hits/day:", Thousands(hits / days)},
      {"Domain name cache:", Printed("%d%%", cache)},
  };
}

}  // namespace tf::console
