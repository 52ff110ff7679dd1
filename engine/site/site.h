// CSite: one site (a "project" to the user) and everything the engine keeps
// for it: the identity row from tblProjects, its settings, what its runs
// found, its analysis state, its own database (SiteDatabase: the connection,
// the database lock and the run's write batch) and the statistics lock; the
// two locks serialise work on it.
//
// Lock order for one site: the site list lock, then the statistics lock
// (LockSite), then the database lock (DatabaseLockGuard over database()).
// Both are re-entrant for the thread that holds them.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <forward_list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/avl_tree.h"
#include "engine/common/time_value.h"
#include "engine/logs/log_site.h"
#include "engine/logs/log_stream.h"
#include "engine/site/run_state.h"
#include "engine/site/site_settings.h"
#include "engine/common/named_lock.h"
#include "engine/store/database.h"
#include "engine/store/site_database.h"
#include "engine/store/site_file_lock.h"

namespace tf {

namespace db {
class Recordset;
}
class SiteNameWork;

enum SiteState : std::int32_t {
  kSiteIdle = 0,
  kSitePending = 1,
  kSiteRunning = 2,
  kSiteStopping = 3,  // a stop was requested; the run ends at its next test
};

// A target page of the site (from tblTargetPages) or a target phrase.
struct TargetEntry {
  std::string Name;         // at most 199 bytes, no leading '/'
  std::int32_t ItemID = 0;  // the page's text item once the run knows it
  TimeValue DateAdded = 0;
  std::int32_t Reserved = 0;
};
struct CTargetPage : TargetEntry {};
struct CTargetPhrase : TargetEntry {};

// Sessions of one target-hit group that reached one target page.
struct TargetCounter {
  std::int32_t ItemID = 0;
  std::int32_t sessions = 0;
};

// The target-page statistics of one search phrase, over all referrers
// (referring_site 0) or for one referrer.
struct TargetHitGroup {
  std::forward_list<TargetCounter> targets;
  std::int32_t referring_site = 0;
  std::int32_t referring_category = 0;
  std::int32_t keyword_phrase = 0;
  std::int32_t phrase_category = 0;
  std::int32_t sessions = 0;
  std::int32_t hits = 0;
  std::int32_t view_time = 0;
};

// Keyword phrase, phrase category, referring site, referring category, in
// this order, compared as signed numbers: -1, 0 or 1.
int CompareTargetHitGroups(const TargetHitGroup& a, const TargetHitGroup& b);
void FreeTargetHitPages(TargetHitGroup& group);

struct TargetHitGroupOrder {
  int operator()(const TargetHitGroup& a, const TargetHitGroup& b) const {
    return CompareTargetHitGroups(a, b);
  }
};

// The target-hit groups of a run: all groups, newest first, and their index.
struct TargetHitTable {
  std::forward_list<TargetHitGroup> groups;
  CAvlTree<TargetHitGroup, TargetHitGroupOrder> index;
};

// What the console shows of a running analysis.
struct RunProgress {
  TimeValue start_time = 0;
  std::int32_t record_count = 0;
  double log_size = 0;
};

class CSite : public LogSite {
 public:
  static constexpr std::size_t kProjectNameSize = 200;
  static constexpr std::size_t kUserNameSize = 60;
  static constexpr std::size_t kUserPasswordSize = 100;
  static constexpr std::size_t kDatabaseNameSize = 50;
  static constexpr std::size_t kStatusSize = 200;  // status and error texts

  // Every setting at its default; the defaults of new sites come from the
  // system settings.
  CSite();
  // Asks a running analysis to stop and waits until it lets go of the site;
  // so a running site is never destroyed under the site list's lock, which
  // its run may need to end.
  ~CSite() override;
  CSite(const CSite&) = delete;
  CSite& operator=(const CSite&) = delete;

  // Identity (tblProjects).
  std::int32_t ProjectID = 0;
  std::string ProjectName;
  std::string UserName;
  std::string UserPassword;
  std::string DatabaseName;

  // The settings key ChangeCount as last read or written.
  std::int32_t ChangeCount = 0;
  SiteSettings settings;
  // Own cache lines: a run's log reader polls the settings and the state on
  // its thread while the analysis thread writes the history.
  alignas(64) RunHistory history;
  // DomainName without scheme, leading blanks, "www." and path.
  std::string normalized_domain;
  std::uint32_t site_address = 0;  // the key IPaddress
  LogStreamList log_streams;
  std::vector<CTargetPage> target_pages;
  std::vector<CTargetPhrase> target_phrases;
  bool target_pages_changed = false;
  // Set when the site must be written back to the databases.
  bool settings_changed = false;

  alignas(64) std::atomic<std::int32_t> state{kSiteIdle};
  alignas(64) RunProgress progress;
  TargetHitTable target_hits;
  // The hour and day being counted and the run's text items.
  SiteRunState run;
  // Its domain-name translation, made by `make` on first use (once, whichever
  // thread asks first); shared with the translation threads, which may
  // outlive the site.
  using MakeNameWork = std::shared_ptr<SiteNameWork> (*)(CSite& site);
  const std::shared_ptr<SiteNameWork>& NameWork(MakeNameWork make);
  // The translation if one was made, else nullptr.
  SiteNameWork* MadeNameWork() const;

  // --- Locks -------------------------------------------------------------
  // Each records the name of the operation that holds it (at most 49 bytes).
  void LockSite(std::string_view operation);
  void UnlockSite();

  // --- The site database ---------------------------------------------------
  // Counted: nested users share one connection, closed by the last close.
  bool OpenSiteDatabase();
  void CloseSiteDatabase();
  // Closes the connection whatever the count (the site is being deleted).
  void ForceCloseSiteDatabase();
  // The open connection, or nullptr.
  db::Connection* connection() { return database_.connection(); }
  // The connection with its lock, trace and the run's write batch: all that
  // the statistics writers take of the site.
  SiteDatabase& database() { return database_; }
  int open_count() const { return open_count_; }

  // Install folder + DatabaseName; empty when DatabaseName is not a plain
  // file name, so that no site file can lie outside the install folder.
  std::string DatabasePath() const;
  // The same with the extension replaced: "ses" (saved sessions).
  std::string DatabasePathWithExtension() const;
  // The site's side files: "txt" event log, "ldb" lock file, "ses".
  std::string SideFilePath(std::string_view extension) const;

  // Another program (the console or the service) may store or run this site
  // at the same time. A store waits for the site's lock file; a run takes it
  // only when it is free, else sets an error text and returns false.
  // Nested holds in this process share one lock.
  bool LockForRun();
  void UnlockForRun();

  // --- Identity and reload -------------------------------------------------
  // Reads the identity from the current row of a tblProjects recordset,
  // then the settings from the site's own database.
  bool LoadIdentity(db::Recordset& projects);
  bool LoadSiteSettings();
  // Writes the identity (not ProjectID) into the current row; the caller
  // saves it.
  bool StoreIdentity(db::Recordset& projects);
  // True when another program stored the site since this one read it, and
  // the site was reloaded.
  bool ReloadIfChanged();
  // Clears what the console shows of a run and the translation counters.
  // Part of a state change, whose caller notifies.
  void ResetRunFields();

  // --- Analysis hold ---------------------------------------------------------
  // An analysis thread holds its site from before it starts until its last
  // touch of it. The thread belongs to whoever started it; the hold lets a
  // site be deleted while it runs: the destructor waits for the release.
  void HoldForAnalysis();
  void ReleaseAnalysisHold();
  int CountPendingTranslations();

  // --- Site list -----------------------------------------------------------
  bool SetIdentityDefaults();
  // Defaults, then the site list takes ownership; creates the log folders.
  bool SetUpNewSite();

  // --- Settings --------------------------------------------------------------
  // One key each; every statement runs under the database lock.
  bool GetIntegerParameter(std::string_view key, std::int32_t& value);
  bool GetRealParameter(std::string_view key, double& value);
  bool GetDateParameter(std::string_view key, TimeValue& value);
  bool GetStringParameter(std::string_view key, std::string& value, std::size_t size);
  bool GetMemoParameter(std::string_view key, std::string& value);
  bool StoreIntegerParameter(std::string_view key, std::int32_t value);
  bool StoreRealParameter(std::string_view key, double value);
  bool StoreDateParameter(std::string_view key, TimeValue value);
  bool StoreStringParameter(std::string_view key, std::string_view value);
  bool StoreMemoParameter(std::string_view key, std::string_view value);

  // All keys, or the settings without what the runs found.
  enum LoadScope { kLoadAll, kLoadSettingsOnly };
  bool LoadSettings(LoadScope scope = kLoadAll);
  bool StoreSettings();
  bool LoadLogFiles();
  bool StoreLogFiles();
  bool SetupTargetPages();
  bool StoreTargetPages();

  // --- Status, error and event log ---------------------------------------
  void SetStatus(std::string_view text) override;
  void SetError(std::string_view text) override;
  void ClearError() override;
  void Trace(std::string_view text) override;
  std::string StatusText() const;
  std::string ErrorText() const;
  bool error_reported() const;
  bool OpenEventLog();
  void CloseEventLog();

  // --- Run support -----------------------------------------------------------
  // Whether the schedule has the hour of `time` (0: now) set.
  bool IsRunDue(TimeValue time);

  // --- What log reading asks of the site -------------------------------------
  bool PassesLogFilters(std::string_view line) override;
  int DateFormat() const override { return settings.DateFormat; }
  int AutoTimezone() const override { return settings.AutoTimezone; }
  int OldLogAction() const override { return settings.OldLogAction; }
  std::string_view OldNameMask() const override { return settings.OldNameMask; }
  std::string_view LogFileArchiveDirectory() const override {
    return settings.LogFileArchiveDirectory;
  }
  void CountOldRecord() override { ++history.stOldRecords; }
  void CountUnreadLine(std::string_view file, std::string_view place) override;
  void CountUnreadFields(int count) override { history.stUnreadFields += count; }
  void RaiseLastFileDate(TimeValue date) override;
  LogStreamList& LogStreams() override { return log_streams; }

 private:
  void SetDefaults();
  // Asks a running analysis to stop, then waits until no hold is left.
  void WaitForAnalysisHolds();

  std::once_flag name_work_once_;
  std::shared_ptr<SiteNameWork> name_work_;
  std::atomic<bool> name_work_made_{false};

  std::mutex hold_mutex_;
  std::condition_variable hold_released_;
  int analysis_holds_ = 0;

  alignas(64) NamedLock statistics_lock_;

  SiteDatabase database_{*this};
  int open_count_ = 0;

  SiteFileLock file_lock_;
  // LoadLogFiles found only the older two-key form; the load stores the
  // site once all keys are read.
  bool log_migration_pending_ = false;

  // The texts are written by the analysis thread and read by the console.
  mutable std::mutex text_mutex_;
  std::string status_text_;
  std::string error_text_;
  bool error_reported_ = false;
  std::FILE* event_log_ = nullptr;
};

// The statistics lock, held for a scope.
class SiteLockGuard {
 public:
  SiteLockGuard(CSite& site, std::string_view operation) : site_(site) {
    site_.LockSite(operation);
  }
  ~SiteLockGuard() { site_.UnlockSite(); }
  SiteLockGuard(const SiteLockGuard&) = delete;
  SiteLockGuard& operator=(const SiteLockGuard&) = delete;

 private:
  CSite& site_;
};

// Keeps at most 99 bytes of the host: leading blanks, a scheme up to "://",
// a leading "www." (any case) and everything from the next '/' removed.
void NormalizeDomainName(CSite& site, std::string_view domain);

// The start of the next scheduled hour within a week; 0 when none.
// The database name a new site gets: "Project0007.mdb" for project 7.
std::string DefaultDatabaseName(std::int32_t project_id);

TimeValue NextScheduledRun(const CSite& site);
TimeValue NextScheduledRun(const CSite& site, TimeValue now);

// Whether the weekly schedule has the hour of t set (t + 0.4 s, so a time
// just before the full hour counts as the new hour).
bool ScheduleHasHour(const SiteSettings& settings, TimeValue t);

}  // namespace tf
