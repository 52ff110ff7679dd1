#include "engine/analysis/sessions.h"

namespace tf {

void NewSession(CSite&, std::string_view, std::uint32_t, CTextItem*, TimeValue, std::int64_t,
                const ReferrerInfo&) {}

void SessionFlush(CSite&, TimeValue, bool) {}

bool RestoreSessions(CSite&) { return true; }

void SaveActiveSessions(CSite&) {}

}  // namespace tf
