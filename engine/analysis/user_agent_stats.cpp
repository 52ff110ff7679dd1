#include "engine/analysis/user_agent_stats.h"

namespace tf {

void ClassifyUserAgent(CSite&, std::string_view, TimeValue) {}

}  // namespace tf
