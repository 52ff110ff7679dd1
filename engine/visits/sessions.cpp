#include "engine/visits/sessions.h"

#include <algorithm>
#include <cmath>

#include "engine/common/saturating.h"
#include "engine/common/whole_seconds.h"
#include "engine/recognise/target_page_check.h"
#include "engine/recognise/user_agent_stats.h"
#include "engine/site/item_category.h"
#include "engine/site/session_tables.h"
#include "engine/site/site.h"
#include "engine/site/stat_bits.h"
#include "engine/site/text_item.h"
#include "engine/stats/statistics_writer.h"
#include "engine/visits/click_paths.h"
#include "engine/visits/visitors.h"

namespace tf {

namespace {

constexpr std::int32_t kReferrerBits = kReferringPageStats | kReferringSiteStats | kSearchEngineStats;
constexpr std::int32_t kPhraseBits = kSearchPhraseStats | kKeywordStats;

double TimeLimitSeconds(const CSite& site) { return site.settings.SessionTimelimit * 60.0; }

bool HitHasKnownOrigin(const ReferrerInfo& referrer) {
  return IsKnownOrigin(referrer.referrer_item_id, referrer.referrer_category,
                       referrer.referrer_name);
}

bool SessionHasKnownOrigin(const CSession& session) {
  return IsKnownOrigin(session.referrer_item_id, session.referrer_category,
                       session.referrer_name);
}

// Whether the hit ends the open session instead of continuing it.
bool EndsSession(const CSite& site, const CSession& session, TimeValue time,
                 const ReferrerInfo& referrer) {
  double gap = std::trunc(time - session.last_hit);
  if (gap < 0 || gap > TimeLimitSeconds(site)) return true;
  if (!referrer.search_phrase.empty() && !session.search_phrase.empty() &&
      referrer.search_phrase != session.search_phrase) {
    return true;
  }
  return HitHasKnownOrigin(referrer) && SessionHasKnownOrigin(session) &&
         referrer.referrer_item_id != session.referrer_item_id;
}

void CountNewOrReturning(CSite& site, CVisitor& visitor) {
  const SiteSettings& s = site.settings;
  if ((s.DayStats & kVisitorStatsBit) == 0 || s.VisitorsStore == 0 || visitor.returning_checked) {
    return;
  }
  CheckReturningVisitor(site, visitor);
}

CSession* OpenSession(CSite& site, CVisitor& visitor, TimeValue time) {
  CSession* session = AppendSession(site);
  session->first_hit = time;
  ++site.history.stSessions;
  session->visitor = &visitor;
  visitor.session = session;
  visitor.agent_classified = false;
  ++visitor.day_sessions;
  return session;
}

// An absent referrer is the session's origin only while it has no other.
void TakeReferrer(CSession& session, const ReferrerInfo& referrer) {
  bool takes = HitHasKnownOrigin(referrer) ||
               (referrer.referrer_item_id != 0 && session.referrer_item_id == 0);
  if (takes) {
    session.referrer_name.assign(referrer.referrer_name);
    session.referring_page.assign(referrer.referring_page);
    session.referrer_item_id = referrer.referrer_item_id;
    session.referrer_category = referrer.referrer_category;
  }
  if (!referrer.search_phrase.empty()) session.search_phrase.assign(referrer.search_phrase);
}

void AddPageHit(CSite& site, CSession& session, CTextItem* page, TimeValue time) {
  if (page == nullptr || page == session.last_page) return;  // a reload is no new page
  std::int32_t target = CheckTargetPage(site, page);
  if (target != 0 &&
      std::find(session.targets.begin(), session.targets.end(), target) == session.targets.end()) {
    session.targets.push_back(target);
  }
  if (page->category != kCategoryImage || target != 0 || session.pages.empty()) {
    session.pages.push_back(SessionPageHit{page, time, 0});
    session.last_page = page;
  }
}

// Sessions, view time, entries and exits of the session's pages.
void CountPages(CSite& site, CSession& session, const SiteLockGuard& held) {
  std::vector<SessionPageHit>& pages = session.pages;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    CTextItem& item = *pages[i].page;
    bool last = i + 1 == pages.size();
    bool first = i == 0;
    auto count = [&](PeriodCounters& counters) {
      counters.SessionCount += 1;
      counters.ViewTime += pages[i].view_time;
      if (last) counters.ExitCount += 1;
      if (first) counters.EntryCount += 1;
    };
    CountInPeriods(item, site, pages[i].time, held, count);
  }
}

void AddToReferrerItem(CSite& site, CTextItem& item, TimeValue time, std::int32_t count,
                       std::int32_t total, const SiteLockGuard& held) {
  item.AddHits(site, time, count, held);
  item.AddSessions(site, time, 1, held);
  item.AddViewTime(site, time, total, held);
}

// The referring site or search engine of the session, and its referring
// page.
void CountReferrer(CSite& site, const CSession& session, std::int32_t count, std::int32_t total,
                   const SiteLockGuard& held) {
  std::int32_t day_stats = site.settings.DayStats;
  std::int32_t category = session.referrer_category;
  if (session.referrer_name.empty() || (day_stats & kReferrerBits) == 0) return;
  // Only these two make a referrer; anything else came from a damaged file.
  if (category != kCategoryReferringSite && category != kCategorySearchEngine) return;
  CTextItem* item = FindTextItem(site, category, session.referrer_name, held);
  if (item == nullptr || item->ItemID == 0) return;
  if ((category == kCategorySearchEngine && (day_stats & kSearchEngineStats) != 0) ||
      (category == kCategoryReferringSite && (day_stats & kReferringSiteStats) != 0)) {
    AddToReferrerItem(site, *item, session.first_hit, count, total, held);
  }
  if (!session.referring_page.empty() && (day_stats & kReferringPageStats) != 0) {
    CTextItem* page = FindTextItem(site, kCategoryReferringPage, session.referring_page, held);
    if (page != nullptr) AddToReferrerItem(site, *page, session.first_hit, count, total, held);
  }
}

}  // namespace

CSession* AppendSession(CSite& site) {
  SiteLockGuard lock(site, "NewSession");
  return &site.run.sessions.AppendSession();
}

void CountSessionPhrase(CSite& site, CSession& session, std::int32_t count, std::int32_t total,
                        const SiteLockGuard& held) {
  const SiteSettings& s = site.settings;
  bool wanted = (s.DayStats & kPhraseBits) != 0 ||
                (!site.target_pages.empty() && (s.TargetPageOptions & 1) != 0);
  if (!session.search_phrase.empty() && !session.phrase_counted && wanted) {
    CountPhrase(site, session.search_phrase, session.referrer_item_id, session.referrer_category,
                session.targets, 1, count, total, session.last_hit, held);
    session.phrase_counted = true;
  }
  session.targets.clear();
}

void NewSession(CSite& site, std::string_view user_agent, std::uint32_t address,
                std::string_view client_name, CTextItem* page, TimeValue time,
                std::int64_t bytes_sent, const ReferrerInfo& referrer) {
  CVisitor& visitor = *FindVisitor(site, address, client_name);
  AddHourHits(site, visitor, 1);
  visitor.day_hits += 1;
  visitor.day_bytes = SaturatingAdd(visitor.day_bytes, bytes_sent);
  CountNewOrReturning(site, visitor);

  CSession* session = visitor.session;
  if (session != nullptr && EndsSession(site, *session, time, referrer)) {
    SiteLockGuard held(site, "RemoveSession");
    RemoveSession(session, site, held);
    session = nullptr;
  }
  if (session == nullptr) session = OpenSession(site, visitor, time);

  if ((site.settings.DayStats & kAgentStats) != 0 && !visitor.agent_classified &&
      !user_agent.empty()) {
    ClassifyUserAgent(site, user_agent, time);
    visitor.agent_classified = true;
  }
  session->last_hit = time;
  TakeReferrer(*session, referrer);
  AddPageHit(site, *session, page, time);
}

void RemoveSession(CSession* session, CSite& site, const SiteLockGuard& held) {
  std::int32_t count = 0;
  std::int32_t total = 0;
  session->ComputeViewTimes(count, total);
  CountPages(site, *session, held);

  CVisitor* visitor = session->visitor;
  if (visitor != nullptr) {
    visitor->day_view_time = ClampToInt32(std::int64_t{visitor->day_view_time} + total);
  }
  PeriodTotals& hour = site.run.hour;
  PeriodTotals& day = site.run.day;
  hour.sessions += 1;
  hour.view_time = ClampToInt32(std::int64_t{hour.view_time} + total);
  day.sessions += 1;
  day.view_time = ClampToInt32(std::int64_t{day.view_time} + total);

  CountPath(site, *session, held);
  CountSessionPhrase(site, *session, count, total, held);
  CountReferrer(site, *session, count, total, held);

  site.run.sessions.DiscardSession(session);
}

void SessionFlush(CSite& site, TimeValue time, bool force) {
  SiteLockGuard held(site, "SessionFlush");
  double limit = TimeLimitSeconds(site);
  CSession* session = site.run.sessions.open_sessions.front();
  while (session != nullptr) {
    CSession* next = session->next.get();
    double idle = std::trunc(time - session->last_hit + 0.5);
    if (force || idle > limit || idle < 0) RemoveSession(session, site, held);
    session = next;
  }
}

}  // namespace tf
