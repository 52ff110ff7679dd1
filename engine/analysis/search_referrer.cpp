#include "engine/analysis/search_referrer.h"

namespace tf {

bool AnalyzeReferrer(CSite&, std::string&, TimeValue, ReferrerInfo&) { return false; }

}  // namespace tf
