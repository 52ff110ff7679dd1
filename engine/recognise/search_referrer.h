// The search-engine side of the referrer classification: whether a
// referring URL comes from a search engine, which one, and its search
// phrase.
//
// The run asks here for every referrer that is not the site's own, with the
// engines of the system data, which every site's run shares and extends.
#pragma once

#include <string>

#include "engine/common/time_value.h"
#include "engine/site/referrer_info.h"

namespace tf {

class CSite;

// True when the referrer is a search engine: the URL is then decoded in
// place and the info names the engine (category 401) and the phrase.
// Repeated referrers are answered from the run's memo (search_referrer_memo.h).
bool AnalyzeReferrer(CSite& site, std::string& referrer, TimeValue time, ReferrerInfo& info);

// Frees what the run remembered of its referrers; the run's end calls it.
void ReleaseSearchReferrers(CSite& site);

}  // namespace tf
