// The user-agent statistics of a run: the spider, or the language, browser,
// add-on and platform a visitor's user agent names, counted once per session.
//
// The session statistics call this on a session's first hit that carries a
// user agent. Each distinct agent text of a run is classified once, and the
// text items of each distinct class are looked up once, so that a session
// costs two hash lookups besides the counting.
#pragma once

#include <string_view>

#include "engine/common/time_value.h"

namespace tf {

class AgentClassifier;
class CSite;

// Counts one hit and one session, at `time`, on each item the agent names,
// in the periods whose statistics the site keeps for the item's category.
void ClassifyUserAgent(CSite& site, std::string_view agent, TimeValue time);

// Frees what the run remembered of its agents; the run's end calls it.
void ReleaseUserAgentStats(CSite& site);

// The classifier of the system data's pattern lists, built the first time
// it is asked for once the lists are loaded, and shared by every analysis
// thread for the rest of the program.
const AgentClassifier& SystemAgentClassifier();

}  // namespace tf
