// The settings a site keeps in its own database, one field per settings key
// (the names are the keys), and the keys that record what its runs found.
// Text fields are widths of the stored form: a load keeps at most width - 1
// bytes (see kSettingKeys in settings_keys.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/common/time_value.h"

namespace tf {

// Bits of HourStats and DayStats that the load always sets in DayStats.
constexpr std::int32_t kSessionStatsBit = 0x10000;
constexpr std::int32_t kVisitorStatsBit = 0x20000;

struct SiteSettings {
  std::string PersonName;
  std::string EmailAddress;
  std::string Notes;
  std::string DomainName;
  std::string HomePage;  // the system's DefaultHomePage for a new site
  std::string RemoveString;
  std::string OldNameMask = "*.OLD";
  // After analysis: 0 leave, 1 delete, 2 rename by OldNameMask, 3 move to
  // LogFileArchiveDirectory.
  std::int32_t OldLogAction = 0;
  std::int32_t DateFormat = 0;  // the system's DefDateFormat for a new site
  std::string LogFileArchiveDirectory;
  double Timezone = 0;                 // seconds, GMT - local time
  std::int32_t SessionTimelimit = 30;  // minutes
  std::int32_t AutoTimezone = 1;
  std::int32_t HourStats = 0x33F00;
  std::int32_t DayStats = 0x5FB3F3F;
  std::int32_t VisitorsStore = 2;
  std::int32_t VisitorsTop = 50;
  std::int32_t VisitorsDomains = 1;
  std::int32_t DomainCacheSize = 5000;
  std::int32_t DomainCacheOptions = 1;
  std::int32_t PathsStore = 1;
  std::int32_t PathsTop = 50;
  std::int32_t EnableSchedule = 0;
  std::int32_t TargetPageOptions = 1;
  std::int32_t TargetPhraseOptions = 0;
  std::int32_t StatusStoreCount = 60;
  std::int32_t StatusStorePage = 60;
  // Per weekday (0 Sunday): bit h = run at hour h.
  std::int32_t RunSchedule[7] = {};
  std::int32_t RptUseSchedule = 1;
  std::string RepDirectory;
  std::int32_t RptYesterday = 0;
  std::int32_t RptCurWeek = 0;
  std::int32_t RptCurMonth = 0;
  std::int32_t RptCurYear = 0;
  std::int32_t Rpt7days = 0;
  std::int32_t Rpt30days = 0;
  std::int32_t Rpt90days = 0;
  std::int32_t Rpt365days = 0;
  std::int32_t RptCustomdays = 0;
  std::int32_t RptCustomdaysValue = 120;
  std::int32_t FtpEnable = 0;
  std::int32_t FtpPassive = 0;
  std::int32_t FtpLogDetails = 0;
  std::int32_t FtpDelete = 0;
  std::int32_t FtpOnlyGetNew = 1;
  std::string RptNameYesterday = "Yesterday";
  std::string RptNameCurWeek = "CurWeek";
  std::string RptNameCurMonth = "CurMonth";
  std::string RptNameCurYear = "CurYear";
  std::string RptName7days = "7days";
  std::string RptName30days = "30days";
  std::string RptName90days = "90days";
  std::string RptName365days = "365days";
  std::string RptNameCustomdays = "Custom";
  std::string FtpAddress;
  std::string FtpName;
  std::string FtpPassword;
  std::string FtpRemoteFolder;
  std::string FtpFileName;
  std::string FtpLocalFolder;
  std::string FtpCommand;
  std::string LogIncludeFilter;  // one pattern per line
  std::string LogExcludeFilter;
  TimeValue FtpLastDate = 0;
};

// Read only when all keys are loaded; written by every store.
struct RunHistory {
  TimeValue CreationDate = 0;
  TimeValue LastScanDate = 0;
  TimeValue LastRecordDate = 0;
  TimeValue LastFileDate = 0;
  double stDataTransfer = 0;
  double stStartTime = 0;
  double stEndTime = 0;
  double stStartRecord = 0;
  double stEndRecord = 0;
  std::int32_t stVisitors = 0;
  std::int32_t stSessions = 0;
  std::int32_t stPageHits = 0;
  std::int32_t stImageHits = 0;
  std::int32_t stProgramHits = 0;
  std::int32_t stDocumentHits = 0;
  std::int32_t stFormHits = 0;
  std::int32_t stOtherHits = 0;
  std::int32_t stTotalRecords = 0;
  std::int32_t stOldRecords = 0;
  std::int32_t stUnreadLines = 0;   // lines that gave no record
  std::int32_t stUnreadFields = 0;  // fields that held no usable value
  std::int32_t stRejectInclude = 0;
  std::int32_t stRejectExclude = 0;
  std::int32_t stRestoredSessions = 0;
  std::int32_t stSavedSessions = 0;
  std::int32_t stDomainCacheTries = 0;
  std::int32_t stDomainCacheHits = 0;
  std::string RptStatus;
  double RptDate = 0;
  // The checksum of the saved-sessions file the last committed run wrote
  // (see engine/visits/session_file.h); -1 when none was stored.
  double SavedSessionsCheck = -1;
};

// Whether one line of a filter text occurs in the line, letters compared
// without regard to case. Patterns are separated by CR and LF; blanks
// between patterns are skipped, blanks inside one belong to it.
bool MatchesFilterList(std::string_view filter, std::string_view line);

}  // namespace tf
