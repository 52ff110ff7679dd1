// The saved-sessions file: the sessions still open when a run ends, one
// tagged record each, preceded by its length as 32 bits little-endian. The
// file comes from disk, so every record is checked whole before a field of
// it is read.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/common/tagged_record.h"
#include "engine/common/time_value.h"
#include "engine/logs/client_address.h"
#include "engine/site/item_category.h"
#include "engine/site/session_tables.h"
#include "engine/site/site.h"
#include "engine/stats/statistics_writer.h"
#include "engine/visits/session_file.h"
#include "engine/visits/sessions.h"
#include "engine/visits/visitors.h"

namespace tf {

namespace {

enum SessionTag : std::uint32_t {
  kTagAddress = 10,
  kTagFirstHit = 11,
  kTagLastHit = 12,
  kTagHourHits = 13,
  kTagDayHits = 14,
  kTagReferrerItem = 15,
  kTagReferrerCategory = 16,
  kTagSearchPhrase = 19,
  kTagReferrerName = 20,
  kTagReferringPage = 21,
  kTagClientName = 22,  // the log's text of a stand-in address
  kTagAgentCounted = 23,  // the session's user agent was counted
  kTagFirstPage = 100,  // then one per page hit
};
enum PageTag : std::uint32_t { kTagPageItem = 10, kTagPageTime = 11 };

// Longest record the reader accepts.
constexpr std::uint32_t kMaxRecord = 200000;
// Page hits beyond this are not saved, so that a record always stays
// readable: each takes at most 24 bytes, the rest of the record at most
// about 600.
constexpr std::size_t kMaxSavedPages = (kMaxRecord - 1000) / 24;
constexpr std::uint32_t kLargestTag = kTagFirstPage + kMaxSavedPages;

constexpr std::size_t kClientNameSize = 100;

// Each text field with the size it is held in, terminator included.
struct TextField {
  std::uint32_t tag;
  std::size_t size;
};
constexpr TextField kTextFields[] = {
    {kTagReferrerName, ReferrerInfo::kReferrerNameMax + 1},
    {kTagReferringPage, ReferrerInfo::kReferringPageMax + 1},
    {kTagSearchPhrase, ReferrerInfo::kSearchPhraseMax + 1},
    {kTagClientName, kClientNameSize},
};

// --- Writing ------------------------------------------------------------------

void EncodeSession(const CSession& session, std::string& record) {
  record.clear();
  record.reserve(650 + 32 * session.pages.size());
  const CVisitor* visitor = session.visitor;
  RecordPutInt(record, kTagAddress, visitor != nullptr ? visitor->address : 0);
  RecordPutDouble(record, kTagFirstHit, session.first_hit);
  RecordPutDouble(record, kTagLastHit, session.last_hit);
  RecordPutInt(record, kTagReferrerItem, static_cast<std::uint32_t>(session.referrer_item_id));
  RecordPutInt(record, kTagReferrerCategory,
               static_cast<std::uint32_t>(session.referrer_category));
  RecordPutString(record, kTagReferrerName, session.referrer_name);
  RecordPutString(record, kTagReferringPage, session.referring_page);
  RecordPutString(record, kTagSearchPhrase, session.search_phrase);
  if (visitor != nullptr) {
    RecordPutInt(record, kTagHourHits, static_cast<std::uint32_t>(visitor->hour_hits));
    RecordPutInt(record, kTagDayHits, static_cast<std::uint32_t>(visitor->day_hits));
    if (IsStandInAddress(visitor->address)) {
      RecordPutString(record, kTagClientName, visitor->client_name);
    }
    if (visitor->agent_classified) RecordPutInt(record, kTagAgentCounted, 1);
  }
  std::string page;
  std::size_t count = std::min(session.pages.size(), kMaxSavedPages);
  for (std::size_t i = 0; i < count; ++i) {
    const SessionPageHit& hit = session.pages[i];
    page.clear();
    RecordPutInt(page, kTagPageItem, static_cast<std::uint32_t>(hit.page->ItemID));
    RecordPutDouble(page, kTagPageTime, hit.time);
    RecordPutEnd(page);
    RecordPutBlob(record, kTagFirstPage + static_cast<std::uint32_t>(i), page);
  }
  RecordPutEnd(record);
}

bool WriteRecord(std::FILE* file, const std::string& record) {
  auto n = static_cast<std::uint32_t>(record.size());
  unsigned char length[4] = {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                             static_cast<unsigned char>(n >> 16),
                             static_cast<unsigned char>(n >> 24)};
  return std::fwrite(length, 1, 4, file) == 4 &&
         std::fwrite(record.data(), 1, record.size(), file) == record.size();
}

// The visitor's hits travel in the file and are counted by the run that
// restores them; what it had of sessions today is dropped.
void ForgetVisitorDay(CVisitor& visitor) {
  visitor.hour_hits = 0;
  visitor.day_hits = 0;
  visitor.day_sessions = 0;
  visitor.day_view_time = 0;
}

// --- Reading ------------------------------------------------------------------

bool IsWholeRecord(std::string_view record, std::uint32_t largest_tag) {
  if (RecordValidate(record, largest_tag, kMaxRecord) != kRecordOk) return false;
  return RecordSize(record) == record.size();
}

bool IsValidSessionRecord(std::string_view record) {
  if (!IsWholeRecord(record, kLargestTag)) return false;
  for (const TextField& field : kTextFields) {
    if (RecordFieldLength(record, field.tag) >= field.size) return false;
  }
  return true;
}

std::int32_t GetInt(std::string_view record, std::uint32_t tag) {
  std::uint32_t value = 0;
  RecordGetInt(record, tag, value);
  return static_cast<std::int32_t>(value);
}

double GetDouble(std::string_view record, std::uint32_t tag) {
  double value = 0;
  RecordGetDouble(record, tag, value);
  return value;
}

// --- Values a run can have saved ---------------------------------------------------

// A visitor's hits in one day stay far below this; the half of the 32-bit
// range above it lets the run that restores them go on counting.
constexpr std::int32_t kMaxVisitorHits = INT32_MAX / 2;

bool IsCalendarTime(double t) {
  static const double kEnd = ComposeDate(10000, 1, 1);
  return t > 0 && t < kEnd;  // also false for NaN
}

// Hour hits are part of the day's: both are zeroed at an hour that is also
// a new day, and the hour's alone at every other.
bool HasSoundHits(std::string_view record) {
  std::int32_t hour = GetInt(record, kTagHourHits);
  std::int32_t day = GetInt(record, kTagDayHits);
  return hour >= 0 && hour <= day && day <= kMaxVisitorHits;
}

// A session takes a referrer only with its item: none leaves all of it
// empty, and only a referring site or a search engine is one.
bool HasSoundReferrer(std::string_view record) {
  std::int32_t item = GetInt(record, kTagReferrerItem);
  std::int32_t category = GetInt(record, kTagReferrerCategory);
  if (item == 0) {
    return category == 0 && RecordFieldLength(record, kTagReferrerName) == 0 &&
           RecordFieldLength(record, kTagReferringPage) == 0;
  }
  return item > 0 && (category == kCategoryReferringSite || category == kCategorySearchEngine);
}

// Page hits are whole, of a real item, in time order within the session.
bool HasSoundPages(std::string_view record, double first_hit, double last_hit) {
  double previous = first_hit;
  std::string_view page;
  for (std::uint32_t tag = kTagFirstPage; RecordFindField(record, tag, page); ++tag) {
    if (!IsWholeRecord(page, kTagPageTime)) return false;
    double time = GetDouble(page, kTagPageTime);
    if (GetInt(page, kTagPageItem) <= 0 || !(time >= previous && time <= last_hit)) return false;
    previous = time;
  }
  return true;
}

bool HasSoundValues(std::string_view record) {
  double first_hit = GetDouble(record, kTagFirstHit);
  double last_hit = GetDouble(record, kTagLastHit);
  std::uint32_t agent_counted = 0;
  RecordGetInt(record, kTagAgentCounted, agent_counted);
  return IsCalendarTime(first_hit) && IsCalendarTime(last_hit) && first_hit <= last_hit &&
         HasSoundHits(record) && HasSoundReferrer(record) && agent_counted <= 1 &&
         HasSoundPages(record, first_hit, last_hit);
}

// Appends the page hits of the record while their items are still known.
void RestorePages(CSite& site, CSession& session, std::string_view record) {
  std::string_view page;
  for (std::uint32_t tag = kTagFirstPage; RecordFindField(record, tag, page); ++tag) {
    CTextItem* item = FindTextItemID(site, GetInt(page, kTagPageItem));
    if (item == nullptr) return;
    session.pages.push_back(SessionPageHit{item, GetDouble(page, kTagPageTime), 0});
    session.last_page = item;
  }
}

// One session of a record that passed IsValidSessionRecord.
void RestoreSession(CSite& site, std::string_view record) {
  CSession& session = *AppendSession(site);
  session.first_hit = GetDouble(record, kTagFirstHit);
  session.last_hit = GetDouble(record, kTagLastHit);
  session.referrer_item_id = GetInt(record, kTagReferrerItem);
  session.referrer_category = GetInt(record, kTagReferrerCategory);
  RecordGetString(record, kTagReferrerName, session.referrer_name,
                  ReferrerInfo::kReferrerNameMax + 1);
  RecordGetString(record, kTagReferringPage, session.referring_page,
                  ReferrerInfo::kReferringPageMax + 1);
  RecordGetString(record, kTagSearchPhrase, session.search_phrase,
                  ReferrerInfo::kSearchPhraseMax + 1);
  // The run that saved the session counted its phrase already.
  session.phrase_counted = !session.search_phrase.empty();

  std::string client_name;
  RecordGetString(record, kTagClientName, client_name, kClientNameSize);
  CVisitor& visitor =
      *FindVisitor(site, static_cast<std::uint32_t>(GetInt(record, kTagAddress)), client_name);
  visitor.hour_hits = 0;
  AddHourHits(site, visitor, GetInt(record, kTagHourHits));
  visitor.day_hits = GetInt(record, kTagDayHits);
  // Nor is its user agent counted a second time in this run.
  visitor.agent_classified = GetInt(record, kTagAgentCounted) != 0;
  {
    SiteLockGuard lock(site, "NewSession");
    visitor.session = &session;
    session.visitor = &visitor;
  }
  RestorePages(site, session, record);
}

enum class ReadResult { kRecord, kEnd, kCorrupt };

ReadResult ReadRecord(std::FILE* file, std::string& record) {
  unsigned char length[4];
  if (std::fread(length, 1, 4, file) != 4) return ReadResult::kEnd;
  std::uint32_t n = length[0] | length[1] << 8 | length[2] << 16 |
                    static_cast<std::uint32_t>(length[3]) << 24;
  if (n == 0) return ReadResult::kEnd;
  // Above the limit, or negative as a signed number.
  if (n > kMaxRecord) return ReadResult::kCorrupt;
  record.resize(n);
  if (std::fread(record.data(), 1, n, file) != n) return ReadResult::kCorrupt;
  return IsValidSessionRecord(record) && HasSoundValues(record) ? ReadResult::kRecord
                                                                : ReadResult::kCorrupt;
}

}  // namespace

void SaveActiveSessions(CSite& site) {
  SiteLockGuard held(site, "SaveActiveSessions");
  RunHistory& history = site.history;
  history.stSavedSessions = 0;
  // Put in place once the run has committed (session_file.h).
  std::string path = PendingSessionsPath(site);
  std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;  // the final flush counts them instead
  SessionTables& tables = site.run.sessions;
  std::string& record = site.run.session_record;
  while (CSession* session = tables.open_sessions.front()) {
    if (!session->search_phrase.empty()) {
      std::int32_t count = 0;
      std::int32_t total = 0;
      session->ComputeViewTimes(count, total);
      CountSessionPhrase(site, *session, count, total, held);
    }
    EncodeSession(*session, record);
    // A session that could not be written stays, with the rest, for the
    // final flush to count.
    if (!WriteRecord(file, record)) break;
    if (session->visitor != nullptr) ForgetVisitorDay(*session->visitor);
    ++history.stSavedSessions;
    tables.DiscardSession(session);
  }
  std::fclose(file);
  site.Trace("Saved " + std::to_string(history.stSavedSessions) + " active sessions");
}

bool RestoreSessions(CSite& site) {
  site.SetStatus("Restoring saved sessions");
  RunHistory& history = site.history;
  history.stRestoredSessions = 0;
  std::string path = site.DatabasePathWithExtension();
  std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::string& record = site.run.session_record;
  for (;;) {
    switch (ReadRecord(file, record)) {
      case ReadResult::kRecord:
        RestoreSession(site, record);
        ++history.stRestoredSessions;
        continue;
      case ReadResult::kEnd:
        std::fclose(file);
        site.Trace("Restored " + std::to_string(history.stRestoredSessions) +
                   " saved sessions");
        return true;
      case ReadResult::kCorrupt:
        std::fclose(file);
        std::remove(path.c_str());
        site.SetError("The saved session file is corrupt");
        return false;
    }
  }
}

}  // namespace tf
