#include "service/message_bodies.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "engine/names/domain_translation.h"
#include "engine/names/site_translation.h"
#include "engine/common/crc32.h"
#include "engine/common/scrambler.h"
#include "engine/common/shared_figure.h"
#include "engine/common/tagged_record.h"
#include "engine/logs/log_stream.h"
#include "engine/site/site.h"
#include "engine/store/system_data.h"

namespace tf::service {

namespace {

// --- The site record's table -------------------------------------------------

enum class Kind { kInt, kDouble, kText, kAddress };

struct SiteField {
  std::uint32_t tag;
  Kind kind;
  std::size_t width;  // texts: the most bytes kept when read
  bool out_only;      // written by the service, never read back
  void* (*at)(CSite& site);
};

template <auto Member>
void* InSite(CSite& site) {
  return &(site.*Member);
}
template <auto Member>
void* InSettings(CSite& site) {
  return &(site.settings.*Member);
}
template <auto Member>
void* InHistory(CSite& site) {
  return &(site.history.*Member);
}

constexpr bool kBoth = false;
constexpr bool kOut = true;

// In the order the service writes them. Tag 101 (ProjectID) goes out but a
// client never sets it; tag 29 is not used.
const SiteField kSiteFields[] = {
    {100, Kind::kText, 199, kBoth, InSite<&CSite::ProjectName>},
    {101, Kind::kInt, 0, kOut, InSite<&CSite::ProjectID>},
    {10, Kind::kText, 99, kBoth, InSettings<&SiteSettings::PersonName>},
    {103, Kind::kText, 59, kBoth, InSite<&CSite::UserName>},
    {104, Kind::kText, 99, kBoth, InSite<&CSite::UserPassword>},
    {11, Kind::kText, 99, kBoth, InSettings<&SiteSettings::EmailAddress>},
    {12, Kind::kText, 249, kBoth, InSettings<&SiteSettings::Notes>},
    {13, Kind::kText, 99, kBoth, InSettings<&SiteSettings::DomainName>},
    {14, Kind::kText, 199, kBoth, InSettings<&SiteSettings::HomePage>},
    {15, Kind::kText, 199, kBoth, InSettings<&SiteSettings::RemoveString>},
    {16, Kind::kText, 299, kBoth, InSettings<&SiteSettings::OldNameMask>},
    {17, Kind::kText, 299, kBoth, InSettings<&SiteSettings::LogFileArchiveDirectory>},
    {18, Kind::kAddress, 0, kBoth, InSite<&CSite::site_address>},
    {19, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::OldLogAction>},
    {20, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::HourStats>},
    {21, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::DayStats>},
    {22, Kind::kDouble, 0, kBoth, InHistory<&RunHistory::CreationDate>},
    {23, Kind::kDouble, 0, kOut, InHistory<&RunHistory::LastScanDate>},
    {24, Kind::kDouble, 0, kOut, InHistory<&RunHistory::LastRecordDate>},
    {25, Kind::kDouble, 0, kOut, InHistory<&RunHistory::LastFileDate>},
    {27, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::StatusStoreCount>},
    {28, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::StatusStorePage>},
    {30, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::VisitorsStore>},
    {31, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::VisitorsDomains>},
    {32, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::DomainCacheSize>},
    {33, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::DomainCacheOptions>},
    {34, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::VisitorsTop>},
    {35, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::PathsStore>},
    {36, Kind::kDouble, 0, kBoth, InSettings<&SiteSettings::Timezone>},
    {37, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::SessionTimelimit>},
    {38, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::AutoTimezone>},
    {39, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::PathsTop>},
    {40, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::EnableSchedule>},
    {41, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::TargetPageOptions>},
    {42, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::TargetPhraseOptions>},
    {43, Kind::kDouble, 0, kBoth, InHistory<&RunHistory::stDataTransfer>},
    {44, Kind::kDouble, 0, kBoth, InHistory<&RunHistory::stStartTime>},
    {45, Kind::kDouble, 0, kBoth, InHistory<&RunHistory::stEndTime>},
    {46, Kind::kDouble, 0, kBoth, InHistory<&RunHistory::stStartRecord>},
    {47, Kind::kDouble, 0, kBoth, InHistory<&RunHistory::stEndRecord>},
    {48, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stVisitors>},
    {49, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stSessions>},
    {50, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stPageHits>},
    {51, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stImageHits>},
    {52, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stProgramHits>},
    {53, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stDocumentHits>},
    {54, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stFormHits>},
    {55, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stOtherHits>},
    {56, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stTotalRecords>},
    {57, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stOldRecords>},
    {58, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stRejectInclude>},
    {59, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stRejectExclude>},
    {60, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stRestoredSessions>},
    {61, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stSavedSessions>},
    {62, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stDomainCacheTries>},
    {63, Kind::kInt, 0, kBoth, InHistory<&RunHistory::stDomainCacheHits>},
    {64, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::RptUseSchedule>},
    {65, Kind::kText, 299, kBoth, InSettings<&SiteSettings::RepDirectory>},
    {66, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::RptYesterday>},
    {67, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::RptCurWeek>},
    {68, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::RptCurMonth>},
    {69, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::RptCurYear>},
    {70, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::Rpt7days>},
    {71, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::Rpt30days>},
    {72, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::Rpt90days>},
    {73, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::Rpt365days>},
    {74, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::RptCustomdays>},
    {75, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::RptCustomdaysValue>},
    {76, Kind::kText, 299, kBoth, InSettings<&SiteSettings::RptNameYesterday>},
    {77, Kind::kText, 299, kBoth, InSettings<&SiteSettings::RptNameCurWeek>},
    {78, Kind::kText, 299, kBoth, InSettings<&SiteSettings::RptNameCurMonth>},
    {79, Kind::kText, 299, kBoth, InSettings<&SiteSettings::RptNameCurYear>},
    {80, Kind::kText, 299, kBoth, InSettings<&SiteSettings::RptName7days>},
    {81, Kind::kText, 299, kBoth, InSettings<&SiteSettings::RptName30days>},
    {82, Kind::kText, 299, kBoth, InSettings<&SiteSettings::RptName90days>},
    {83, Kind::kText, 299, kBoth, InSettings<&SiteSettings::RptName365days>},
    {84, Kind::kText, 299, kBoth, InSettings<&SiteSettings::RptNameCustomdays>},
    {85, Kind::kText, 99, kBoth, InHistory<&RunHistory::RptStatus>},
    {86, Kind::kDouble, 0, kBoth, InHistory<&RunHistory::RptDate>},
    {87, Kind::kDouble, 0, kBoth, InSettings<&SiteSettings::FtpLastDate>},
    {88, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::FtpEnable>},
    {106, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::FtpPassive>},
    {102, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::FtpLogDetails>},
    {89, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::FtpDelete>},
    {90, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::FtpOnlyGetNew>},
    {91, Kind::kText, 99, kBoth, InSettings<&SiteSettings::FtpAddress>},
    {92, Kind::kText, 99, kBoth, InSettings<&SiteSettings::FtpName>},
    {93, Kind::kText, 99, kBoth, InSettings<&SiteSettings::FtpPassword>},
    {94, Kind::kText, 299, kBoth, InSettings<&SiteSettings::FtpRemoteFolder>},
    {95, Kind::kText, 299, kBoth, InSettings<&SiteSettings::FtpFileName>},
    {96, Kind::kText, 299, kBoth, InSettings<&SiteSettings::FtpLocalFolder>},
    {97, Kind::kText, 199, kBoth, InSettings<&SiteSettings::FtpCommand>},
    // The filters have no width: one pattern per line, as long as sent.
    {98, Kind::kText, 0, kBoth, InSettings<&SiteSettings::LogIncludeFilter>},
    {99, Kind::kText, 0, kBoth, InSettings<&SiteSettings::LogExcludeFilter>},
    {105, Kind::kInt, 0, kBoth, InSettings<&SiteSettings::DateFormat>},
};

constexpr std::uint32_t kFirstScheduleTag = 1000;
constexpr std::uint32_t kFirstLogFileTag = 2000;
constexpr std::uint32_t kFirstTargetNameTag = 1100;
constexpr std::uint32_t kFirstTargetTimeTag = 1500;
constexpr std::uint32_t kMaxListEntries = 1000;
constexpr std::size_t kTargetNameWidth = 199;

void EncodeField(std::string& record, const SiteField& field, CSite& site) {
  void* value = field.at(site);
  switch (field.kind) {
    case Kind::kInt:
      RecordPutInt(record, field.tag,
                   static_cast<std::uint32_t>(ReadFigure(*static_cast<std::int32_t*>(value))));
      break;
    case Kind::kAddress:
      RecordPutInt(record, field.tag, *static_cast<std::uint32_t*>(value));
      break;
    case Kind::kDouble:
      // A running site's figures change meanwhile: each is read whole.
      RecordPutDouble(record, field.tag, ReadFigure(*static_cast<double*>(value)));
      break;
    case Kind::kText:
      RecordPutString(record, field.tag, *static_cast<std::string*>(value));
      break;
  }
}

std::uint32_t GetUnsigned(std::string_view record, std::uint32_t tag) {
  std::uint32_t value = 0;
  RecordGetInt(record, tag, value);
  return value;
}

double GetDouble(std::string_view record, std::uint32_t tag) {
  double value = 0;
  RecordGetDouble(record, tag, value);
  return value;
}

void DecodeField(std::string_view record, const SiteField& field, CSite& site) {
  void* value = field.at(site);
  switch (field.kind) {
    case Kind::kInt:
      *static_cast<std::int32_t*>(value) = static_cast<std::int32_t>(GetUnsigned(record, field.tag));
      break;
    case Kind::kAddress:
      *static_cast<std::uint32_t*>(value) = GetUnsigned(record, field.tag);
      break;
    case Kind::kDouble:
      *static_cast<double*>(value) = GetDouble(record, field.tag);
      break;
    case Kind::kText: {
      auto& text = *static_cast<std::string*>(value);
      if (field.width == 0) {
        RecordGetText(record, field.tag, text);
      } else {
        RecordGetString(record, field.tag, text, field.width + 1);
      }
      break;
    }
  }
}

// The entries of a numbered list, each put in front of those read before
// it, as the list has always been read: A (first tag), B gives B, A.
template <typename Entry, typename ReadEntry>
std::vector<Entry> ReadFrontInserted(ReadEntry read_entry) {
  std::vector<Entry> entries;
  for (std::uint32_t n = 0; n < kMaxListEntries; ++n) {
    Entry entry;
    if (!read_entry(n, entry)) break;
    entries.push_back(std::move(entry));
  }
  std::reverse(entries.begin(), entries.end());
  return entries;
}

// A pattern the site already had keeps its stream, and with it how far its
// files were read, so that changing a site does not make its next run
// count its logs again.
void DecodeLogFiles(std::string_view record, CSite& site) {
  auto patterns = ReadFrontInserted<std::string>([&](std::uint32_t n, std::string& pattern) {
    return RecordGetString(record, kFirstLogFileTag + n, pattern,
                           CLogStream::kMaxFilePatternLength + 1);
  });
  LogStreamList streams;
  for (const std::string& pattern : patterns) {
    std::unique_ptr<CLogStream> stream;
    for (auto& old : site.log_streams) {
      if (old && old->file_pattern() == pattern) {
        stream = std::move(old);
        break;
      }
    }
    if (!stream) stream = std::make_unique<CLogStream>(pattern);
    streams.push_back(std::move(stream));
  }
  site.log_streams = std::move(streams);
}

void DecodeTargetPages(std::string_view record, CSite& site) {
  site.target_pages =
      ReadFrontInserted<CTargetPage>([&](std::uint32_t n, CTargetPage& page) {
        if (!RecordGetString(record, kFirstTargetNameTag + n, page.Name, kTargetNameWidth + 1)) {
          return false;
        }
        RecordGetDouble(record, kFirstTargetTimeTag + n, page.DateAdded);
        return true;
      });
  site.target_pages_changed = true;
}

// The ranges the console's pages hold these settings to.
void ClampSiteSettings(SiteSettings& settings) {
  constexpr std::int32_t kSmallestCache = 100;
  constexpr std::int32_t kLargestCache = 200000;
  settings.DomainCacheSize = std::clamp(settings.DomainCacheSize, kSmallestCache, kLargestCache);
  settings.SessionTimelimit = std::max(settings.SessionTimelimit, 1);
  settings.RptCustomdaysValue = std::max(settings.RptCustomdaysValue, 1);
  settings.VisitorsTop = std::max(settings.VisitorsTop, 0);
  settings.PathsTop = std::max(settings.PathsTop, 0);
}

// --- System settings -----------------------------------------------------------

// The fixed number the system object is made with; only copied.
constexpr std::uint32_t kSystemObjectNumber = 23;

enum SystemTag : std::uint32_t {
  kTagRunPriority = 10,
  kTagMaxAnalyses = 11,
  kTagMaxDomainThreads = 12,
  kTagDefaultSessionTimelimit = 13,
  kTagDefaultHomePage = 14,
  kTagRunInSysTray = 15,
  kTagSystemNumber = 16,
  kTagAllowRemoteAccess = 17,
  kTagDefDateFormat = 18,
};
constexpr std::size_t kDefaultHomePageWidth = 199;

std::int32_t GetSigned(std::string_view record, std::uint32_t tag) {
  return static_cast<std::int32_t>(GetUnsigned(record, tag));
}

// Text box, logon state and logon record tags.
constexpr std::uint32_t kTagText = 11;
constexpr std::uint32_t kTagCaption = 12;
constexpr std::uint32_t kTagFlags = 13;
constexpr std::uint32_t kTagRemote = 10;
constexpr std::uint32_t kTagRemoteAllowed = 11;
constexpr std::uint32_t kTagLogonName = 10;
constexpr std::uint32_t kTagLogonPassword = 11;
constexpr std::uint32_t kTagLogonCheck = 12;

}  // namespace

std::string EncodeSiteRecord(CSite& site) {
  std::string record;
  for (const SiteField& field : kSiteFields) EncodeField(record, field, site);
  for (std::uint32_t day = 0; day < 7; ++day) {
    RecordPutInt(record, kFirstScheduleTag + day,
                 static_cast<std::uint32_t>(site.settings.RunSchedule[day]));
  }
  std::uint32_t n = 0;
  for (const auto& stream : site.log_streams) {
    if (stream) RecordPutString(record, kFirstLogFileTag + n++, stream->file_pattern());
  }
  n = 0;
  for (const CTargetPage& page : site.target_pages) {
    RecordPutString(record, kFirstTargetNameTag + n, page.Name);
    RecordPutDouble(record, kFirstTargetTimeTag + n, page.DateAdded);
    ++n;
  }
  RecordPutEnd(record);
  return record;
}

void DecodeSiteRecord(std::string_view record, CSite& site) {
  for (const SiteField& field : kSiteFields) {
    if (!field.out_only) DecodeField(record, field, site);
  }
  for (std::uint32_t day = 0; day < 7; ++day) {
    site.settings.RunSchedule[day] = GetSigned(record, kFirstScheduleTag + day);
  }
  DecodeLogFiles(record, site);
  DecodeTargetPages(record, site);
  ClampSiteSettings(site.settings);
  NormalizeDomainName(site, site.settings.DomainName);
  site.settings_changed = true;
}

std::string EncodeSiteStatus(CSite& site) {
  std::int32_t pending_translations = site.CountPendingTranslations();
  TranslationCounters counters = TranslationOf(site).Counters();
  std::string record;
  RecordPutInt(record, 10, static_cast<std::uint32_t>(site.state.load()));
  RecordPutString(record, 11, site.StatusText());
  RecordPutString(record, 12, site.ErrorText());
  RecordPutDouble(record, 13, ReadFigure(site.progress.start_time));
  RecordPutInt(record, 14, static_cast<std::uint32_t>(ReadFigure(site.progress.record_count)));
  RecordPutInt(record, 15, static_cast<std::uint32_t>(counters.waiting_region));
  RecordPutDouble(record, 16, ReadFigure(site.history.LastRecordDate));
  RecordPutInt(record, 17, static_cast<std::uint32_t>(pending_translations));
  // The clock time the latest run ended (while one runs, its start plus a
  // second, then the end of its reading); kept across runs.
  RecordPutDouble(record, 18, ReadFigure(site.history.stEndTime));
  // The size of the logs the current run reads; cleared when a run starts.
  RecordPutDouble(record, 19, ReadFigure(site.progress.log_size));
  RecordPutDouble(record, 20, ReadFigure(site.history.LastScanDate));
  RecordPutDouble(record, 21, ReadFigure(site.history.LastFileDate));
  RecordPutInt(record, 22, static_cast<std::uint32_t>(BusyDomainThreads()));
  RecordPutEnd(record);
  return record;
}

std::string EncodeSystemSettings(const CSystemData& system) {
  std::string record;
  RecordPutInt(record, kTagSystemNumber, kSystemObjectNumber);
  RecordPutInt(record, kTagRunPriority, static_cast<std::uint32_t>(system.RunPriority));
  RecordPutInt(record, kTagMaxAnalyses, static_cast<std::uint32_t>(system.MaxAnalyses));
  RecordPutInt(record, kTagMaxDomainThreads, static_cast<std::uint32_t>(system.MaxDomainThreads));
  RecordPutInt(record, kTagDefaultSessionTimelimit,
               static_cast<std::uint32_t>(system.DefaultSessionTimelimit));
  RecordPutString(record, kTagDefaultHomePage, system.DefaultHomePage);
  RecordPutInt(record, kTagDefDateFormat, static_cast<std::uint32_t>(system.DefDateFormat));
  RecordPutInt(record, kTagRunInSysTray, system.RunInSysTray ? 1 : 0);
  RecordPutInt(record, kTagAllowRemoteAccess, system.AllowRemoteAccess ? 1 : 0);
  RecordPutEnd(record);
  return record;
}

void DecodeSystemSettings(std::string_view record, CSystemData& system) {
  constexpr std::int32_t kVeryLow = 1;
  constexpr std::int32_t kLow = 2;
  constexpr std::int32_t kNormal = 3;
  std::int32_t priority = GetSigned(record, kTagRunPriority);
  system.RunPriority = (priority == kVeryLow || priority == kNormal) ? priority : kLow;
  system.MaxAnalyses = std::max(GetSigned(record, kTagMaxAnalyses), 1);
  system.MaxDomainThreads = std::clamp(GetSigned(record, kTagMaxDomainThreads), 1, 1000);
  system.DefaultSessionTimelimit =
      std::clamp(GetSigned(record, kTagDefaultSessionTimelimit), 5, 1440);
  RecordGetString(record, kTagDefaultHomePage, system.DefaultHomePage, kDefaultHomePageWidth + 1);
  system.DefDateFormat = GetSigned(record, kTagDefDateFormat);
  system.RunInSysTray = GetUnsigned(record, kTagRunInSysTray) != 0;
  system.AllowRemoteAccess = GetUnsigned(record, kTagAllowRemoteAccess) != 0;
}

std::string EncodeTextBox(std::string_view text, std::string_view caption, std::uint32_t flags) {
  std::string record;
  RecordPutString(record, kTagText, text);
  RecordPutString(record, kTagCaption, caption);
  RecordPutInt(record, kTagFlags, flags);
  RecordPutEnd(record);
  return record;
}

TextBox DecodeTextBox(std::string_view record) {
  TextBox box;
  RecordGetText(record, kTagText, box.text);
  RecordGetText(record, kTagCaption, box.caption);
  box.flags = GetUnsigned(record, kTagFlags);
  return box;
}

std::string EncodeLogonState(bool remote, bool remote_access_allowed) {
  std::string record;
  RecordPutInt(record, kTagRemote, remote ? 1 : 0);
  RecordPutInt(record, kTagRemoteAllowed, remote_access_allowed ? 1 : 0);
  RecordPutEnd(record);
  return record;
}

std::uint32_t LogonCheck(std::string_view name, std::string_view password,
                         std::uint32_t challenge) {
  std::string bytes;
  bytes.reserve(name.size() + password.size() + 4);
  bytes.append(name).append(password);
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((challenge >> (8 * i)) & 0xFF));
  return Crc32(bytes);
}

std::string EncodeLogonRecord(std::string_view name, std::string_view password,
                              std::uint32_t check) {
  std::string scrambled_name(name);
  std::string scrambled_password(password);
  ScrambleBytes(scrambled_name.data(), scrambled_name.size());
  ScrambleBytes(scrambled_password.data(), scrambled_password.size());
  std::string record;
  RecordPutString(record, kTagLogonName, scrambled_name);
  RecordPutString(record, kTagLogonPassword, scrambled_password);
  RecordPutInt(record, kTagLogonCheck, check);
  RecordPutEnd(record);
  return record;
}

bool DecodeLogonRecord(std::string_view record, LogonFields& out) {
  if (RecordFieldLength(record, kTagLogonName) > kMaxLogonField ||
      RecordFieldLength(record, kTagLogonPassword) > kMaxLogonField) {
    return false;
  }
  RecordGetBytes(record, kTagLogonName, out.name);
  RecordGetBytes(record, kTagLogonPassword, out.password);
  UnscrambleBytes(out.name.data(), out.name.size());
  UnscrambleBytes(out.password.data(), out.password.size());
  // A text ends at its first zero byte, as the fields are compared as texts.
  out.name.resize(std::char_traits<char>::length(out.name.c_str()));
  out.password.resize(std::char_traits<char>::length(out.password.c_str()));
  out.check = GetUnsigned(record, kTagLogonCheck);
  return true;
}

}  // namespace tf::service
