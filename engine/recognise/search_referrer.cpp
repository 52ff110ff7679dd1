#include "engine/recognise/search_referrer.h"

#include <utility>

#include "engine/common/text.h"
#include "engine/recognise/referrer_analysis.h"
#include "engine/site/item_category.h"
#include "engine/site/site.h"
#include "engine/site/text_item.h"
#include "engine/stats/statistics_writer.h"
#include "engine/store/system_data.h"

namespace tf {

namespace {

constexpr std::uint32_t kSearchStats = kSearchEngineStats | kSearchPhraseStats | kKeywordStats;

// The engine part of the analysis, answered from the run's memo when the
// referrer came before under the same engine list; `known` is then the
// memo's answer, valid until the memo learns another.
bool RecogniseEngine(CSite& site, std::string& referrer, ReferrerInfo& info,
                     SearchReferrerMemo::Answer*& known) {
  const std::uint32_t stats = static_cast<std::uint32_t>(site.settings.DayStats) & kSearchStats;
  if (stats == 0) return false;
  SearchReferrerMemo& memo = site.run.search_referrers;
  const std::uint64_t list_state = SystemData.search_engine_changes();
  known = memo.Find(referrer, list_state, stats);
  if (known != nullptr) {
    if (!known->engine) return false;
    info.referrer_name = known->name;
    info.search_phrase = known->phrase;
    UrlDecode(referrer);
    return true;
  }
  std::string key = referrer;
  SearchReferrerMemo::Answer answer;
  const bool engine = AnalyzeReferrer(SystemData, stats, referrer, info);
  answer.engine = engine;
  if (engine) {
    answer.name = info.referrer_name;
    answer.phrase = info.search_phrase;
  }
  // An answer that taught the list something, or met another site's
  // lesson half-way, is not remembered; the next one is.
  if (SystemData.search_engine_changes() == list_state) memo.Remember(key, std::move(answer));
  return engine;
}

}  // namespace

bool AnalyzeReferrer(CSite& site, std::string& referrer, TimeValue, ReferrerInfo& info) {
  SearchReferrerMemo::Answer* known = nullptr;
  if (!RecogniseEngine(site, referrer, info, known)) return false;
  if (known == nullptr || !known->item_found) {
    const CTextItem* engine = FindTextItem(site, kCategorySearchEngine, info.referrer_name);
    info.referrer_item_id = engine->ItemID;
    info.referrer_category = engine->category;
    if (known != nullptr) {
      known->item_found = true;
      known->item_id = engine->ItemID;
      known->item_category = engine->category;
    }
    return true;
  }
  info.referrer_item_id = known->item_id;
  info.referrer_category = known->item_category;
  return true;
}

void ReleaseSearchReferrers(CSite& site) { site.run.search_referrers.Release(); }

}  // namespace tf
