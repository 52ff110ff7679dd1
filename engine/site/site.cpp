#include "engine/site/site.h"

#include <cmath>
#include <cstdio>

#include "engine/common/path.h"
#include "engine/common/registry_values.h"
#include "engine/common/shared_figure.h"
#include "engine/common/text.h"
#include "engine/site/projects_database.h"
#include "engine/site/site_name_work.h"
#include "engine/store/field_values.h"
#include "engine/store/site_indexes.h"
#include "engine/store/system_data.h"
#include "platform/db/recordset.h"

namespace tf {

namespace {

constexpr std::size_t kNormalizedDomainSize = 100;

}  // namespace

std::string DefaultDatabaseName(std::int32_t project_id) {
  char name[CSite::kDatabaseNameSize];
  std::snprintf(name, sizeof name, "Project%04d.mdb", static_cast<int>(project_id));
  return name;
}

CSite::CSite() { SetDefaults(); }

const std::shared_ptr<SiteNameWork>& CSite::NameWork(MakeNameWork make) {
  std::call_once(name_work_once_, [&] {
    name_work_ = make(*this);
    name_work_made_.store(true, std::memory_order_release);
  });
  return name_work_;
}

SiteNameWork* CSite::MadeNameWork() const {
  return name_work_made_.load(std::memory_order_acquire) ? name_work_.get() : nullptr;
}

void CSite::SetDefaults() {
  settings.HomePage = SystemData.DefaultHomePage;
  settings.SessionTimelimit = SystemData.DefaultSessionTimelimit;
  settings.DateFormat = SystemData.DefDateFormat;
  settings.Timezone = LocalZoneOffsetSeconds();
}

CSite::~CSite() {
  WaitForAnalysisHolds();
  if (SiteNameWork* names = MadeNameWork()) names->Detach();
  target_hits.index.Clear();
  CloseEventLog();
  CloseDatabase(database_.holder());
}

// --- Analysis hold -----------------------------------------------------------

void CSite::HoldForAnalysis() {
  std::lock_guard<std::mutex> guard(hold_mutex_);
  ++analysis_holds_;
}

void CSite::ReleaseAnalysisHold() {
  // Notified under the mutex: once the waiting destructor can take it, this
  // thread no longer touches the site.
  std::lock_guard<std::mutex> guard(hold_mutex_);
  --analysis_holds_;
  hold_released_.notify_all();
}

void CSite::WaitForAnalysisHolds() {
  std::int32_t running = kSiteRunning;
  state.compare_exchange_strong(running, kSiteStopping);
  std::unique_lock<std::mutex> guard(hold_mutex_);
  hold_released_.wait(guard, [this] { return analysis_holds_ == 0; });
}

// --- Locks ---------------------------------------------------------------

void CSite::LockSite(std::string_view operation) { statistics_lock_.Enter(operation); }
void CSite::UnlockSite() { statistics_lock_.Leave(); }

// --- The site database -----------------------------------------------------

bool CSite::OpenSiteDatabase() {
  DatabaseLockGuard lock(database_, "OpenSiteDatabase");
  if (open_count_ < 1) {
    // Every use of the connection holds the site's database lock (see
    // SiteDatabase), so the library need not lock each call as well.
    if (!OpenDatabase(database_.holder(), DatabasePath(), this, db::Connection::Serialization::kByCaller)) {
      return false;
    }
    AddMissingSiteIndexes(*database_.connection());
  }
  ++open_count_;
  return true;
}

void CSite::CloseSiteDatabase() {
  DatabaseLockGuard lock(database_, "CloseSiteDatabase");
  if (open_count_ == 0) return;
  if (--open_count_ == 0) CloseDatabase(database_.holder());
}

void CSite::ForceCloseSiteDatabase() {
  DatabaseLockGuard lock(database_, "CloseSiteDatabase");
  open_count_ = 0;
  CloseDatabase(database_.holder());
}

std::string CSite::DatabasePath() const {
  if (!IsPlainFileName(DatabaseName)) return {};
  return InstallFolderPath(DatabaseName);
}

std::string CSite::DatabasePathWithExtension() const { return SideFilePath("ses"); }

std::string CSite::SideFilePath(std::string_view extension) const {
  std::string path = DatabasePath();
  return path.empty() ? path : ChangeExtension(path, extension);
}

bool CSite::LockForRun() {
  if (file_lock_.Acquire(SideFilePath("ldb"), false)) return true;
  SetError("The site is in use by another program");
  return false;
}

void CSite::UnlockForRun() { file_lock_.Release(); }

// --- Identity and reload -----------------------------------------------------

bool CSite::LoadIdentity(db::Recordset& projects) {
  ProjectName.clear();
  // A null ProjectID, ProjectName or DatabaseName ends the reading of the
  // row; a null logon name or password is read as empty.
  auto required = [&](std::string_view column) -> const com::Variant& {
    const com::Variant& value = projects.Field(column);
    if (value.is_null()) throw db::Error(0, "Invalid use of Null");
    return value;
  };
  try {
    ProjectID = required("ProjectID").ToInt32();
    ProjectName = TextFieldValue(required("ProjectName"), kProjectNameSize);
    UserName = TextFieldValue(projects.Field("UserName"), kUserNameSize);
    UserPassword = TextFieldValue(projects.Field("UserPassword"), kUserPasswordSize);
    DatabaseName = TextFieldValue(required("DatabaseName"), kDatabaseNameSize);
  } catch (const db::Error&) {
  }
  return LoadSiteSettings();
}

bool CSite::LoadSiteSettings() {
  if (!OpenSiteDatabase()) return false;
  LoadSettings(kLoadAll);
  CloseSiteDatabase();
  return true;
}

bool CSite::StoreIdentity(db::Recordset& projects) {
  projects.SetField("ProjectName", com::Variant(ProjectName));
  projects.SetField("UserName", com::Variant(UserName));
  projects.SetField("UserPassword", com::Variant(UserPassword));
  projects.SetField("DatabaseName", com::Variant(DatabaseName));
  return true;
}

bool CSite::ReloadIfChanged() {
  bool opened = OpenSiteDatabase();
  std::int32_t stored = ChangeCount;
  GetIntegerParameter("ChangeCount", stored);
  bool changed = stored != ChangeCount;
  if (changed) {
    ProjectsDatabase.LoadProjectRecord(*this);
    LoadSettings(kLoadSettingsOnly);
  }
  if (opened) CloseSiteDatabase();
  return changed;
}

void CSite::ResetRunFields() {
  WriteFigure(progress.start_time, 0);
  WriteFigure(progress.record_count, 0);
  WriteFigure(progress.log_size, 0);
  {
    std::lock_guard<std::mutex> guard(text_mutex_);
    status_text_.clear();
  }
  if (SiteNameWork* names = MadeNameWork()) names->ResetRunCounters();
}

int CSite::CountPendingTranslations() {
  SiteNameWork* names = MadeNameWork();
  return names ? names->CountPending() : 0;
}

void CSite::CountUnreadLine(std::string_view file, std::string_view place) {
  // The first few say where to look; the count in the run summary says how
  // many there are.
  constexpr std::int32_t kTracedUnreadLines = 5;
  if (++history.stUnreadLines <= kTracedUnreadLines) {
    Trace("Log line not read: " + std::string(file) + " " + std::string(place));
  }
}

void CSite::RaiseLastFileDate(TimeValue date) {
  if (date > history.LastFileDate) WriteFigure(history.LastFileDate, date);
}

// --- Domain, schedule, target hits ------------------------------------------

void NormalizeDomainName(CSite& site, std::string_view domain) {
  while (!domain.empty() && domain.front() == ' ') domain.remove_prefix(1);
  std::size_t scheme = domain.find("://");
  if (scheme != std::string_view::npos) domain.remove_prefix(scheme + 3);
  if (FindCaseless(domain.substr(0, 4), "www.") == 0) domain.remove_prefix(4);
  domain = domain.substr(0, domain.find('/'));
  SafeCopy(site.normalized_domain, domain, kNormalizedDomainSize);
}

bool ScheduleHasHour(const SiteSettings& settings, TimeValue t) {
  double x = t + 0.4;
  int hour = static_cast<int>(std::fmod(x / 3600, 24));
  int weekday = static_cast<int>(std::fmod(x / kSecondsPerDay, 7));
  if (hour < 0 || hour > 23 || weekday < 0 || weekday > 6) return false;
  return (settings.RunSchedule[weekday] >> hour & 1) != 0;
}

TimeValue NextScheduledRun(const CSite& site, TimeValue now) {
  if (site.settings.EnableSchedule == 0) return 0;
  TimeValue hour_start = now - std::fmod(now, 3600);
  for (int k = 1; k <= 168; ++k) {
    TimeValue t = hour_start + 3600.0 * k;
    if (ScheduleHasHour(site.settings, t)) return t;
  }
  return 0;
}

TimeValue NextScheduledRun(const CSite& site) { return NextScheduledRun(site, NowLocalSeconds()); }

int CompareTargetHitGroups(const TargetHitGroup& a, const TargetHitGroup& b) {
  const std::int32_t left[] = {a.keyword_phrase, a.phrase_category, a.referring_site,
                               a.referring_category};
  const std::int32_t right[] = {b.keyword_phrase, b.phrase_category, b.referring_site,
                                b.referring_category};
  for (int i = 0; i < 4; ++i) {
    if (left[i] != right[i]) return left[i] < right[i] ? -1 : 1;
  }
  return 0;
}

void FreeTargetHitPages(TargetHitGroup& group) { group.targets.clear(); }

}  // namespace tf
