#include "engine/run/run_analysis.h"

#include <exception>
#include <optional>
#include <string>

#include "engine/common/busy.h"
#include "engine/common/path.h"
#include "engine/common/shared_figure.h"
#include "engine/ftp/ftp_session.h"
#include "engine/logs/log_file_set.h"
#include "engine/names/domain_translation.h"
#include "engine/recognise/hit_status.h"
#include "engine/recognise/search_referrer.h"
#include "engine/recognise/user_agent_stats.h"
#include "engine/reports/report_launcher.h"
#include "engine/run/period_flush.h"
#include "engine/run/record_classification.h"
#include "engine/run/record_prefetch.h"
#include "engine/run/report_cleanup.h"
#include "engine/run/run_summary.h"
#include "engine/site/site.h"
#include "engine/site/stat_bits.h"
#include "engine/visits/click_paths.h"
#include "engine/visits/session_file.h"
#include "engine/visits/sessions.h"
#include "engine/visits/visitors.h"

namespace tf {

namespace {

constexpr double kSaveInterval = 900;
constexpr std::size_t kReportStatusSize = 100;
// The wall clock and the progress figures are read once per this many
// records; a record takes about a microsecond.
constexpr unsigned kClockStride = 1024;

void DownloadNewLogFiles(CSite& site, const RunProgressCallback& progress) {
  SiteSettings& settings = site.settings;
  if (settings.FtpLocalFolder.empty() && !site.log_streams.empty()) {
    // The download goes where the first log file pattern reads.
    std::string_view first = site.log_streams.front()->file_pattern();
    std::size_t last = first.rfind(kPathSeparator);
    std::size_t name = last == std::string_view::npos ? 0 : last + 1;
    settings.FtpLocalFolder.assign(first.substr(0, name));
    if (settings.FtpFileName.empty()) settings.FtpFileName.assign(first.substr(name));
    site.settings_changed = true;
  }
  site.SetStatus("Using FTP to download log files from " + settings.FtpAddress);
  {
    CFtpSession session;
    auto message = [&progress](std::string_view text, int flag, void* context) {
      bool go_on = IsStopRequested(text, flag, context);
      if (progress) progress(text);
      return go_on;
    };
    session.DownloadLogFiles(site, message, &site, settings.FtpLogDetails != 0);
  }
  site.SetStatus("The FTP log file download is finished");
}

void ZeroRunStatistics(CSite& site) {
  RunHistory& h = site.history;
  WriteFigure(site.progress.record_count, 0);
  h.stDataTransfer = 0;
  h.stVisitors = h.stSessions = 0;
  h.stStartRecord = h.stEndRecord = 0;
  h.stPageHits = h.stImageHits = h.stProgramHits = h.stDocumentHits = h.stFormHits =
      h.stOtherHits = 0;
  h.stTotalRecords = h.stOldRecords = h.stRejectInclude = h.stRejectExclude = 0;
  h.stUnreadLines = h.stUnreadFields = 0;
  h.stRestoredSessions = h.stSavedSessions = 0;
  h.stDomainCacheTries = h.stDomainCacheHits = 0;
  h.stStartTime = NowLocalSeconds();
  WriteFigure(h.stEndTime, h.stStartTime + 1);
}

// Every write of the run from here joins one transaction (see WriteBatch).
void BeginRunTransaction(CSite& site) {
  DatabaseLockGuard lock(site.database(), "BeginRunTransaction");
  site.database().JoinBatch();
}

// The statistics, the log streams' positions, the run figures and the
// check of the saved sessions commit at once; the sessions file is put in
// place only after that.
void CommitRun(CSite& site) {
  CheckPendingSessions(site);
  site.settings_changed = true;
  site.StoreSettings();
  bool committed = false;
  {
    DatabaseLockGuard lock(site.database(), "CommitRun");
    committed = site.database().batch().Commit();
  }
  if (committed) PublishPendingSessions(site);
}

void CountRecord(CSite& site, CLogRecord& record, std::optional<SiteLockGuard>& held) {
  RunHistory& h = site.history;
  if (record.valid) {
    ++h.stTotalRecords;
    ProcessLogRecord(site, record, &held);
  }
  TimeValue t = record.time;
  if (t > h.LastRecordDate) WriteFigure(h.LastRecordDate, t);
  if (h.stStartRecord == 0 || t < h.stStartRecord) h.stStartRecord = t;
  if (t > h.stEndRecord) h.stEndRecord = t;
}

// The site's state into the run's transaction. The log files stand still
// meanwhile: their reader has ended.
void SaveProgress(CSite& site) {
  site.ReloadIfChanged();
  site.settings_changed = true;
  site.StoreSettings();
}

void ReadRecords(CSite& site, CLogFileSet& set) {
  TimeValue save_clock = NowLocalSeconds();
  for (;;) {
    // The day's writes store the log files' positions: the reader waits
    // while the analysis of a record that starts another day runs.
    RecordPrefetch reader(set, site.state, kSiteRunning,
                          [day = site.run.current_day](const CLogRecord& record) mutable {
                            return StartsAnotherDay(record, day);
                          });
    unsigned count = 0;
    // The statistics lock is held across the records of a batch: a first
    // hold costs more than counting many a record. It is let go before an
    // hour's flush (see ProcessLogRecord) and before waiting for the
    // reader, so that no wait holds it.
    std::optional<SiteLockGuard> held;
    while (CLogRecord* record = reader.Next()) {
      if (!held) held.emplace(site, "ReadRecords");
      CountRecord(site, *record, held);
      PumpMessages();
      if (!reader.HasReady()) held.reset();
      if (++count % kClockStride != 0) continue;
      WriteFigure(site.run.bytes_read, reader.BytesRead());
      if (NowLocalSeconds() - save_clock > kSaveInterval) reader.RequestEnd();
    }
    held.reset();
    if (!reader.ended_on_request()) break;
    SaveProgress(site);
    save_clock = NowLocalSeconds();
  }
  WriteFigure(site.run.bytes_read, set.BytesRead());
}

// Steps that run only while a record was seen by this site object.
void WriteFinalStatistics(CSite& site) {
  SiteRunState& run = site.run;
  WaitForTranslations(site);
  site.SetStatus("Writing final hour statistics");
  FlushHourStatistics(site, run.current_hour + 3600, true);
  site.SetStatus("Writing final day statistics");
  FlushDayStatistics(site, run.current_day + kSecondsPerDay, true);
  // The final day's visitors were queued just now: their regions are
  // counted before the regions are written.
  WaitForTranslations(site);
  site.SetStatus("Writing final day domain region statistics");
  if ((site.settings.DayStats & kRegionStats) != 0) FlushRegions(site);
  site.SetStatus("Updating last-activity dates for items");
  FlushItemDates(site);
}

void ReleaseRunTables(CSite& site) {
  WaitForTranslations(site);
  ReleaseAll(site);
  ReleasePaths(site);
  FreeHitStatusIndex(site);
  ClearDomainCache(site);
  ReleaseUserAgentStats(site);
  ReleaseSearchReferrers(site);
  ReleaseTextItems(site);
}

// A run cut short by an exception still lets the translation threads
// finish with the run's items before the deferred writes (and the item rows
// the threads may be finding) go away; a run that ends normally has waited
// for them already.
class TranslationsDoneOnThrow {
 public:
  explicit TranslationsDoneOnThrow(CSite& site) : site_(site) {}
  ~TranslationsDoneOnThrow() {
    if (std::uncaught_exceptions() <= exceptions_) return;
    try {
      WaitForTranslations(site_);
    } catch (...) {
    }
  }
  TranslationsDoneOnThrow(const TranslationsDoneOnThrow&) = delete;
  TranslationsDoneOnThrow& operator=(const TranslationsDoneOnThrow&) = delete;

 private:
  CSite& site_;
  const int exceptions_ = std::uncaught_exceptions();
};

// From the log files to the reports.
void AnalyzeLogs(CSite& site, double zone_offset) {
  RunHistory& h = site.history;
  // The hour and day rows are written while the next records are counted.
  DeferredWrites deferred(site.database());
  TranslationsDoneOnThrow translations(site);
  {
    CLogFileSet set(site, zone_offset);
    site.SetStatus("Finding log files to be analyzed");
    set.FindFiles();
    WriteFigure(site.progress.log_size, set.TotalBytes());
    WriteFigure(site.run.bytes_read, set.BytesRead());

    InitPathTable(site);
    InitVisitorTable(site);
    InitHitStatusIndex(site);
    ZeroRunStatistics(site);
    AdoptCommittedSessionFile(site);
    BeginRunTransaction(site);
    RestoreSessions(site);

    ReadRecords(site, set);
    set.CloseAll();
  }
  WriteFigure(h.stEndTime, NowLocalSeconds());

  site.SetStatus("Saving information about active sessions");
  SessionFlush(site, h.LastRecordDate, false);
  SaveActiveSessions(site);
  if (site.run.current_hour != 0) WriteFinalStatistics(site);
  ReleaseRunTables(site);
  deferred.Finish();

  WriteRunSummary(site);
  CommitRun(site);
  WriteFigure(site.progress.record_count, 0);
  if (site.settings.RptUseSchedule != 0) {
    site.SetStatus("Generating reports");
    if (GenerateReports(site, h.RptStatus, kReportStatusSize)) h.RptStatus = "Successfully generated.";
    h.RptDate = NowLocalSeconds();
    site.SetStatus("");
  }
}

// What a run holds of its site: the run lock, the event log and the
// database. Every way out of the run, an exception of the log reader
// included, gives them back in the reverse order.
class SiteRunHold {
 public:
  explicit SiteRunHold(CSite& site) : site_(site), locked_(site.LockForRun()) {}
  ~SiteRunHold() {
    if (database_open_) site_.CloseSiteDatabase();
    if (event_log_open_) site_.CloseEventLog();
    if (locked_) site_.UnlockForRun();
  }
  SiteRunHold(const SiteRunHold&) = delete;
  SiteRunHold& operator=(const SiteRunHold&) = delete;

  bool locked() const { return locked_; }
  void OpenEventLog() {
    site_.OpenEventLog();
    event_log_open_ = true;
  }
  bool OpenDatabase() {
    database_open_ = site_.OpenSiteDatabase();
    return database_open_;
  }

 private:
  CSite& site_;
  bool locked_;
  bool event_log_open_ = false;
  bool database_open_ = false;
};

}  // namespace

int RunAnalysis(CSite& site, const RunProgressCallback& progress) {
  // Before the event log: the other program's run keeps its log.
  SiteRunHold hold(site);
  if (!hold.locked()) return 0;
  site.ClearError();
  hold.OpenEventLog();
  if (!hold.OpenDatabase()) {
    site.SetStatus("Unable to open database for site");
    return 0;
  }
  site.ReloadIfChanged();
  CleanupReportFiles(site);
  double zone_offset =
      site.settings.AutoTimezone == 0 ? site.settings.Timezone : LocalZoneOffsetSeconds();
  if (site.settings.FtpEnable != 0 && !site.settings.FtpAddress.empty()) DownloadNewLogFiles(site, progress);
  // A stop requested during the download skips the logs.
  if (site.state == kSiteRunning) AnalyzeLogs(site, zone_offset);
  site.StoreSettings();
  return 1;
}

bool IsStopRequested(std::string_view text, int, void* context) {
  CSite& site = *static_cast<CSite*>(context);
  site.SetStatus(text);
  site.Trace(text);
  if (site.state == kSiteRunning) return true;
  site.SetStatus("Analysis stop has been requested");
  site.Trace("Analysis stop has been requested");
  return false;
}

}  // namespace tf
