// The user-agent statistics of a run: the spider, or the language, browser,
// add-on and platform a visitor's user agent names, counted once per session.
//
// The session statistics call this on a session's first hit that carries a
// user agent. Each distinct agent text of a run is classified once, and the
// text items of each distinct class are looked up once, so that a session
// costs two hash lookups besides the counting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/logs/time_value.h"

namespace tf {

class AgentClassCache;
class AgentClassifier;
class CSite;
class CTextItem;
class SiteLockGuard;
struct AgentClass;

// Counts one hit and one session, at `time`, on each item the agent names,
// in the periods whose statistics the site keeps for the item's category.
void ClassifyUserAgent(CSite& site, std::string_view agent, TimeValue time);

// Frees what the run remembered of its agents; the run's end calls it.
void ReleaseUserAgentStats(CSite& site);

// The classifier of the system data's pattern lists, built the first time
// it is asked for once the lists are loaded, and shared by every analysis
// thread for the rest of the program.
const AgentClassifier& SystemAgentClassifier();

// What one site's run remembers of the agents it met. Belongs to the site's
// analysis thread.
class UserAgentRunCache {
 public:
  UserAgentRunCache();
  ~UserAgentRunCache();
  UserAgentRunCache(const UserAgentRunCache&) = delete;
  UserAgentRunCache& operator=(const UserAgentRunCache&) = delete;

  // The run's text items that the agent counts on, in counting order, found
  // or added with FindTextItem. Valid until the next call.
  std::span<CTextItem* const> ItemsOf(CSite& site, std::string_view agent,
                                      const SiteLockGuard& held);
  void Release();

 private:
  std::unique_ptr<AgentClassCache> classes_;
  // The items of each class of classes_; emptied when classes_ starts over
  // or the site's text items are freed, since both invalidate the pointers.
  std::unordered_map<const AgentClass*, std::vector<CTextItem*>> items_;
  std::size_t class_restarts_ = 0;
  std::uint64_t item_releases_ = 0;
};

}  // namespace tf
