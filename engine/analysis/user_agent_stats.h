// The user-agent statistics of a run: the spider, or the language, browser,
// add-on and platform a visitor's user agent names, counted once per session.
//
// The session statistics call this on a session's first hit that carries a
// user agent; the counting itself comes with the agent statistics, until
// then it does nothing.
#pragma once

#include <string_view>

#include "engine/logs/time_value.h"

namespace tf {

class CSite;

// Counts one hit and one session, at `time`, on each item the agent names.
void ClassifyUserAgent(CSite& site, std::string_view agent, TimeValue time);

}  // namespace tf
