#include "engine/run/record_classification.h"

#include <algorithm>

#include "engine/common/ascii.h"
#include "engine/common/saturating.h"
#include "engine/common/shared_figure.h"
#include "engine/common/text.h"
#include "engine/logs/log_record.h"
#include "engine/recognise/file_kinds.h"
#include "engine/recognise/hit_status.h"
#include "engine/recognise/search_referrer.h"
#include "engine/run/period_flush.h"
#include "engine/site/item_category.h"
#include "engine/site/site.h"
#include "engine/site/stat_bits.h"
#include "engine/site/text_item.h"
#include "engine/stats/statistics_writer.h"
#include "engine/visits/sessions.h"

namespace tf {

namespace {

constexpr std::size_t kHostMax = 99;
constexpr std::size_t kStemMax = 199;
constexpr std::size_t kQueryMax = 499;

// The referring host: after "://" (or from the start) up to the first '/'.
void ReferringHost(std::string_view referrer, std::string& host) {
  std::size_t scheme = referrer.find("://");
  if (scheme != std::string_view::npos) referrer.remove_prefix(scheme + 3);
  host.assign(CutUtf8(referrer.substr(0, referrer.find('/')), kHostMax));
  TrimBlanks(host);
  if (host.empty() || host == "-") host.assign(kUnknownOrigin);
  UrlDecode(host);
  TrimBlanks(host);
}

bool IsOwnDomain(const CSite& site, std::string_view host) {
  if (StartsWithCaseless(host, "www.")) host.remove_prefix(4);
  return EqualsCaseless(host, site.normalized_domain);
}

}  // namespace

// Divided, not multiplied by the inverse, so that a time on the boundary
// always starts the new period.
TimeValue PeriodStart(TimeValue t, double length) {
  return static_cast<std::int32_t>(t / length) * length;
}

bool StartsAnotherDay(const CLogRecord& record, TimeValue& current_day) {
  if (!record.valid) return false;
  TimeValue day = PeriodStart(record.time, kSecondsPerDay);
  if (day == current_day) return false;
  current_day = day;
  return true;
}

std::int32_t ProcessLogRecord(CSite& site, CLogRecord& record,
                              std::optional<SiteLockGuard>* held_across_records) {
  SiteRunState& run = site.run;
  WriteFigure(site.progress.record_count, site.progress.record_count + 1);
  WriteFigure(site.history.LastRecordDate, record.time);
  TimeValue hour = PeriodStart(record.time, 3600);
  if (hour != run.current_hour) {
    // A new day is a new hour too: both flushes run without the hold.
    if (held_across_records != nullptr) held_across_records->reset();
    if (run.current_hour != 0) FlushHourStatistics(site, record.time, false);
    run.current_hour = hour;
    site.SetStatus("Processing log records");
  }
  TimeValue day = PeriodStart(record.time, kSecondsPerDay);
  if (day != run.current_day) {
    FlushDayStatistics(site, record.time, false);
    run.current_day = day;
    site.SetStatus("Processing log records");
  }
  return ClassifyLogRecord(site, record);
}

std::int32_t ClassifyLogRecord(CSite& site, CLogRecord& record) {
  // Held for the whole record: the lookups and counters below take it again
  // many times, and a nested hold costs far less than a first one.
  SiteLockGuard statistics(site, "ClassifyLogRecord");
  SiteRunState& run = site.run;
  run.referrer.Clear();
  if (record.client_address == 0 || record.time == 0) return kCategoryOtherFile;

  std::string& stem = record.uri_stem;
  // A library search first: most stems hold no backslash.
  if (stem.find('\\') != std::string::npos) std::replace(stem.begin(), stem.end(), '\\', '/');
  // A request without a stem (written as "-") is the site's root, so that
  // the hit still reaches its visitor and session.
  if (stem.empty()) stem = "/";
  if (stem == "/") stem += site.settings.HomePage;
  if (!site.settings.RemoveString.empty()) {
    ApplyRemoveString(site.settings.RemoveString, stem, record.uri_query);
  }
  std::size_t dot = stem.rfind('.');
  std::string_view extension = dot == std::string::npos ? std::string_view(stem)
                                                        : std::string_view(stem).substr(dot + 1);
  std::int32_t category = ClassifyFileType(extension);

  FileKindIndex index = FileKindOf(category);
  const FileKind& kind = kFileKinds[index];
  ++(site.history.*kind.run_counter);
  ++run.hour.hits[index];
  ++run.day.hits[index];
  bool hour_flag = (site.settings.HourStats & kind.item_bit) != 0;
  bool day_flag = (site.settings.DayStats & kind.item_bit) != 0;

  CTextItem* item = FindTextItem(site, category, stem, statistics);
  item->hour.Hits += 1;
  item->day.Hits += 1;
  item->hour.Bytes = SaturatingAdd(item->hour.Bytes, record.bytes_sent);
  item->day.Bytes = SaturatingAdd(item->day.Bytes, record.bytes_sent);
  if (day_flag) SetDayChange(*item, site, record.time, statistics);
  if (hour_flag) SetHourChange(*item, site, record.time, statistics);
  site.history.stDataTransfer += static_cast<double>(record.bytes_sent);

  if (record.has_referrer && category != kCategoryImage) {
    ClassifyReferrer(site, record.referrer, record.time, run.referrer);
  }
  ClassifyHitStatus(site, record, item);
  NewSession(site, record.user_agent, record.client_address, record.client_name, item,
             record.time, record.bytes_sent, run.referrer);
  return category;
}

void ApplyRemoveString(std::string_view remove, std::string& stem, std::string& query) {
  thread_local std::string joined;
  joined.assign(stem);
  joined.push_back(' ');
  joined.append(query);
  std::size_t at = FindCaseless(joined, remove);
  if (at == std::string::npos) return;
  joined.erase(at, remove.size());
  std::string_view text = joined;
  std::size_t blank = text.find(' ');
  stem.assign(CutUtf8(text.substr(0, blank), kStemMax));
  if (blank == std::string_view::npos) {
    query.clear();
    return;
  }
  std::size_t rest = text.find_first_not_of(' ', blank);
  query.assign(rest == std::string_view::npos ? std::string_view()
                                              : CutUtf8(text.substr(rest), kQueryMax));
}

void ClassifyReferrer(CSite& site, std::string& referrer, TimeValue time, ReferrerInfo& info) {
  std::string& host = site.run.scratch_host;
  ReferringHost(referrer, host);
  if (IsOwnDomain(site, host)) return;
  if (AnalyzeReferrer(site, referrer, time, info)) return;
  if ((site.settings.DayStats & kReferringPageStats) != 0 && !referrer.empty() && referrer != "-") {
    UrlDecode(referrer);
    TrimBlanks(referrer);
    info.referring_page.assign(CutUtf8(referrer, ReferrerInfo::kReferringPageMax));
  }
  CTextItem* item = FindTextItem(site, kCategoryReferringSite, host);
  if (item->ItemID == 0) return;
  info.referrer_name.assign(CutUtf8(host, ReferrerInfo::kReferrerNameMax));
  info.referrer_item_id = item->ItemID;
  info.referrer_category = kCategoryReferringSite;
}

}  // namespace tf
