#include "engine/site/settings_keys.h"

#include "engine/common/address.h"
#include "engine/common/shared_figure.h"
#include "engine/site/projects_database.h"
#include "engine/site/site.h"
#include "engine/site/site_name_work.h"
#include "engine/store/system_data.h"

namespace tf {

namespace {

// The key's name is the field's name.
// clang-format off
#define TF_FIELD(group, field) [](CSite& s) { return &s.group.field; }
#define TF_INT_KEY(group, run, field) \
  {#field, SettingType::kInteger, run, 0, TF_FIELD(group, field), nullptr, nullptr}
#define TF_REAL_KEY(group, run, field) \
  {#field, SettingType::kReal, run, 0, nullptr, TF_FIELD(group, field), nullptr}
#define TF_DATE_KEY(group, run, field) \
  {#field, SettingType::kDate, run, 0, nullptr, TF_FIELD(group, field), nullptr}
#define TF_TEXT_KEY(group, run, field, size) \
  {#field, SettingType::kString, run, size, nullptr, nullptr, TF_FIELD(group, field)}
#define TF_MEMO_KEY(field) \
  {#field, SettingType::kMemo, false, 0, nullptr, nullptr, TF_FIELD(settings, field)}
#define TF_SCHEDULE_KEY(day) \
  {"RunSchedule" #day, SettingType::kInteger, false, 0, TF_FIELD(settings, RunSchedule[day]), \
   nullptr, nullptr}
// clang-format on

#define S_INT(field) TF_INT_KEY(settings, false, field)
#define S_REAL(field) TF_REAL_KEY(settings, false, field)
#define S_DATE(field) TF_DATE_KEY(settings, false, field)
#define S_TEXT(field, size) TF_TEXT_KEY(settings, false, field, size)
#define R_INT(field) TF_INT_KEY(history, true, field)
#define R_REAL(field) TF_REAL_KEY(history, true, field)
#define R_DATE(field) TF_DATE_KEY(history, true, field)
#define R_TEXT(field, size) TF_TEXT_KEY(history, true, field, size)

const SettingKey kSettingKeys[] = {
    S_TEXT(PersonName, 100),
    S_TEXT(EmailAddress, 100),
    S_TEXT(Notes, 250),
    S_TEXT(DomainName, 100),
    S_TEXT(HomePage, 200),
    S_TEXT(RemoveString, 200),
    S_TEXT(OldNameMask, 300),
    S_INT(OldLogAction),
    S_INT(DateFormat),
    S_TEXT(LogFileArchiveDirectory, 300),
    S_REAL(Timezone),
    S_INT(SessionTimelimit),
    S_INT(AutoTimezone),
    S_INT(HourStats),
    S_INT(DayStats),
    {"IPaddress", SettingType::kAddress, false, 200, nullptr, nullptr, nullptr},
    S_INT(VisitorsStore),
    S_INT(VisitorsTop),
    S_INT(VisitorsDomains),
    S_INT(DomainCacheSize),
    S_INT(DomainCacheOptions),
    S_INT(PathsStore),
    S_INT(PathsTop),
    S_INT(EnableSchedule),
    S_INT(TargetPageOptions),
    S_INT(TargetPhraseOptions),
    S_INT(StatusStoreCount),
    S_INT(StatusStorePage),
    TF_SCHEDULE_KEY(0),
    TF_SCHEDULE_KEY(1),
    TF_SCHEDULE_KEY(2),
    TF_SCHEDULE_KEY(3),
    TF_SCHEDULE_KEY(4),
    TF_SCHEDULE_KEY(5),
    TF_SCHEDULE_KEY(6),
    S_INT(RptUseSchedule),
    S_TEXT(RepDirectory, 300),
    S_INT(RptYesterday),
    S_INT(RptCurWeek),
    S_INT(RptCurMonth),
    S_INT(RptCurYear),
    S_INT(Rpt7days),
    S_INT(Rpt30days),
    S_INT(Rpt90days),
    S_INT(Rpt365days),
    S_INT(RptCustomdays),
    S_INT(RptCustomdaysValue),
    S_INT(FtpEnable),
    S_INT(FtpPassive),
    S_INT(FtpLogDetails),
    S_INT(FtpDelete),
    S_INT(FtpOnlyGetNew),
    S_TEXT(RptNameYesterday, 300),
    S_TEXT(RptNameCurWeek, 300),
    S_TEXT(RptNameCurMonth, 300),
    S_TEXT(RptNameCurYear, 300),
    S_TEXT(RptName7days, 300),
    S_TEXT(RptName30days, 300),
    S_TEXT(RptName90days, 300),
    S_TEXT(RptName365days, 300),
    S_TEXT(RptNameCustomdays, 300),
    S_TEXT(FtpAddress, 100),
    S_TEXT(FtpName, 100),
    S_TEXT(FtpPassword, 100),
    S_TEXT(FtpRemoteFolder, 300),
    S_TEXT(FtpFileName, 300),
    S_TEXT(FtpLocalFolder, 300),
    S_TEXT(FtpCommand, 200),
    TF_MEMO_KEY(LogIncludeFilter),
    TF_MEMO_KEY(LogExcludeFilter),
    S_DATE(FtpLastDate),

    R_DATE(CreationDate),
    R_DATE(LastScanDate),
    R_DATE(LastRecordDate),
    R_DATE(LastFileDate),
    R_REAL(stDataTransfer),
    R_REAL(stStartTime),
    R_REAL(stEndTime),
    R_REAL(stStartRecord),
    R_REAL(stEndRecord),
    R_INT(stVisitors),
    R_INT(stSessions),
    R_INT(stPageHits),
    R_INT(stImageHits),
    R_INT(stProgramHits),
    R_INT(stDocumentHits),
    R_INT(stFormHits),
    R_INT(stOtherHits),
    R_INT(stTotalRecords),
    R_INT(stOldRecords),
    R_INT(stUnreadLines),
    R_INT(stUnreadFields),
    R_INT(stRejectInclude),
    R_INT(stRejectExclude),
    R_INT(stRestoredSessions),
    R_INT(stSavedSessions),
    R_INT(stDomainCacheTries),
    R_INT(stDomainCacheHits),
    R_TEXT(RptStatus, 100),
    R_REAL(RptDate),
    // Loaded with the settings too: another program that stores the site
    // after a run must not write back the check it read before that run.
    TF_REAL_KEY(history, false, SavedSessionsCheck),
};

// A missing row leaves the field as it is.
bool LoadKey(CSite& site, const SettingKey& key) {
  switch (key.type) {
    case SettingType::kInteger: return site.GetIntegerParameter(key.name, *key.integer(site));
    case SettingType::kReal: return site.GetRealParameter(key.name, *key.real(site));
    case SettingType::kDate: return site.GetDateParameter(key.name, *key.real(site));
    case SettingType::kString: return site.GetStringParameter(key.name, *key.text(site), key.size);
    case SettingType::kMemo: return site.GetMemoParameter(key.name, *key.text(site));
    case SettingType::kAddress: {
      std::string text;
      if (!site.GetStringParameter(key.name, text, key.size)) return false;
      site.site_address = ParseDottedAddress(text);
      return true;
    }
  }
  return false;
}

bool StoreKey(CSite& site, const SettingKey& key) {
  switch (key.type) {
    // A run may be writing its figures meanwhile: each is read whole.
    case SettingType::kInteger:
      return site.StoreIntegerParameter(key.name, ReadFigure(*key.integer(site)));
    case SettingType::kReal:
      return site.StoreRealParameter(key.name, ReadFigure(*key.real(site)));
    case SettingType::kDate:
      return site.StoreDateParameter(key.name, ReadFigure(*key.real(site)));
    case SettingType::kString: return site.StoreStringParameter(key.name, *key.text(site));
    case SettingType::kMemo: return site.StoreMemoParameter(key.name, *key.text(site));
    case SettingType::kAddress:
      return site.StoreStringParameter(key.name, AddressToText(site.site_address));
  }
  return false;
}

}  // namespace

std::span<const SettingKey> SettingKeys() { return kSettingKeys; }

bool CSite::LoadSettings(LoadScope scope) {
  bool opened = OpenSiteDatabase();
  GetIntegerParameter("ChangeCount", ChangeCount);
  LoadLogFiles();
  for (const SettingKey& key : kSettingKeys) {
    if (key.run_group && scope != kLoadAll) continue;
    bool found = LoadKey(*this, key);
    if (key.name == "DateFormat" && !found) settings.DateFormat = SystemData.DefDateFormat;
    if (key.name == "DayStats") settings.DayStats |= kSessionStatsBit | kVisitorStatsBit;
  }
  if (history.CreationDate == 0) history.CreationDate = NowLocalSeconds();
  NormalizeDomainName(*this, settings.DomainName);
  SetupTargetPages();
  if (SiteNameWork* names = MadeNameWork()) names->SetCacheLimit(settings.DomainCacheSize);
  settings_changed = false;
  // The migrated log stream is stored once every other key has been read,
  // so that the store writes the site's settings, not the defaults.
  if (log_migration_pending_) {
    log_migration_pending_ = false;
    settings_changed = true;
    StoreSettings();
  }
  if (opened) CloseSiteDatabase();
  return true;
}

bool CSite::StoreSettings() {
  // The console and the service never store one site at the same time.
  bool locked = file_lock_.Acquire(SideFilePath("ldb"), true);
  bool opened = OpenSiteDatabase();

  std::int32_t stored = ChangeCount;
  GetIntegerParameter("ChangeCount", stored);
  if (stored != ChangeCount) {
    // Another program stored the site meanwhile: its values win.
    ProjectsDatabase.LoadProjectRecord(*this);
    LoadSettings(kLoadSettingsOnly);
  }
  settings_changed = false;
  StoreLogFiles();
  for (const SettingKey& key : kSettingKeys) StoreKey(*this, key);
  StoreTargetPages();

  stored = ChangeCount;
  GetIntegerParameter("ChangeCount", stored);
  ChangeCount = stored + 1;
  StoreIntegerParameter("ChangeCount", ChangeCount);

  if (opened) CloseSiteDatabase();
  if (locked) file_lock_.Release();
  return true;
}

}  // namespace tf
